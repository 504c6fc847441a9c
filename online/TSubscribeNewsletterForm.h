#pragma once
// The newsletter sign-up: an e-mail address and an optional first name,
// sent as a subscription record through the maker's mail relay. The
// automatic offer at the start of a game comes at most once per run and
// only until the user has subscribed or asked never to see it again
// (registry subkey "news" of the game's key); the menu's offer always shows
// the dialog, without that check box. The texts are English or German by
// the language in use.

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TSubscribeNewsletterForm : public TForm {
public:
    // Components of the form resource.
    TLabel* Label1; // the explanation
    TLabel* Label3;
    TEdit* Edit1; // first name
    TLabel* Label4;
    TEdit* Edit3;         // e-mail address
    TCheckBox* CheckBox1; // never show again
    TButton* Button1;     // sends; result 1 once the relay took the mail
    TButton* Button2;     // "Maybe Later", result 2

    explicit TSubscribeNewsletterForm(TComponent* Owner);

    // The automatic offer of this run has been shown.
    inline static bool AutomaticOfferShown = false;

    // Handlers bound by the form resource.
    void Edit1Change(TObject* Sender);
    void Button1Click(TObject* Sender);

private:
    void PlaceComponents();
};

extern TSubscribeNewsletterForm* SubscribeNewsletterForm;

// One offer; `forced` (the menu) shows the dialog whatever the run and the
// stored flags say.
void ShowNewsletterOffer(bool forced);
