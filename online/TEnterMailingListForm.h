#pragma once
// The mailing-list sign-up: a name and an e-mail address, mailed through
// the maker's form-mail relay once the user confirms being online. The
// program entry creates it; it is shown only when a caller shows it
// modally (result 1 after a successful sign-up).

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TEnterMailingListForm : public TForm {
public:
    // Components of the form resource.
    TLabel* Label1; // the invitation
    TLabel* Label2;
    TEdit* Edit1; // the name
    TLabel* Label3;
    TEdit* Edit2;     // the e-mail address
    TButton* Button1; // OK
    TButton* Button2; // Cancel

    explicit TEnterMailingListForm(TComponent* Owner);

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    void PlaceComponents();
};

extern TEnterMailingListForm* EnterMailingListForm;
