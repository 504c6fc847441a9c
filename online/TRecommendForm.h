#pragma once
// The tell-a-friend offer: a dialog that invites the user to recommend the
// game and opens the maker's recommendation page in the web browser. The
// automatic offer at the start of a game comes at most once per run and
// only until the user has recommended the game or declined for good
// (registry subkey "rec" of the game's key); the menu's offer always shows
// the dialog, without the "Never Recommend" button.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TRecommendForm : public TForm {
public:
    // Components of the form resource.
    TPanel* Panel1;
    TLabel* Label1;   // the invitation
    TImage* Image1;   // stays empty
    TButton* Button1; // recommend: opens the page, result 1
    TButton* Button2; // "Maybe Later", result 2
    TButton* Button3; // "Never Recommend", result 666

    explicit TRecommendForm(TComponent* Owner);

    // The automatic offer of this run has been made.
    inline static bool AutomaticOfferMade = false;

    // Handlers bound by the form resource; the offer sets every text, so
    // the show handler has nothing to do, and no control of the resource
    // uses the change handler.
    void FormShow(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Button1Click(TObject* Sender);

private:
    void PlaceComponents();
    // The panel around the invitation and the form around the panel and
    // the buttons, whenever the invitation's height changes.
    void FitToContents(TObject* Sender);
};

extern TRecommendForm* RecommendForm;

// One offer; `forced` (the menu) shows the dialog whatever the run and the
// stored answers say.
void ShowRecommendOffer(bool forced);
