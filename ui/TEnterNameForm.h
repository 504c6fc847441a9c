#pragma once
// The congratulation for a result good enough for the world-wide top ten:
// it asks for the e-mail address and the country to post with it. It does
// not close without an e-mail address, and OK wants one that holds "@".
// The caller reads Edit1 (e-mail) and Edit2 (country) after the modal
// call.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TEnterNameForm : public TForm {
public:
    // Components of the form resource.
    TPanel* Panel1;
    TLabel* Label2; // the score will be posted
    TPanel* Panel2;
    TLabel* Label1;
    TEdit* Edit1; // e-mail address
    TLabel* Label3;
    TEdit* Edit2; // country
    TButton* Button1;

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    explicit TEnterNameForm(TComponent* Owner);

private:
    void PlaceComponents();
};

extern TEnterNameForm* EnterNameForm;
