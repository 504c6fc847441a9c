#pragma once
// The player-selection dialog as the controller reads it at the start of a
// match: the opponent, the names, the match length and the difficulty. The
// main window creates it (GameWindow); the dialog of the program is
// ui/TPlayerSelectionForm, which holds these among its components.

#include "platform/vcl/CSpin.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class PlayerSelection : public TForm {
public:
    explicit PlayerSelection(TComponent* Owner) : TForm(Owner) {}

    TEdit* Edit2 = nullptr;               // name of player 1
    TEdit* Edit1 = nullptr;               // name of player 2, or the computer's name
    TRadioButton* RadioButton4 = nullptr; // tutorial
    TRadioButton* RadioButton2 = nullptr; // computer, classic
    TRadioButton* RadioButton3 = nullptr; // computer, arcade
    TRadioButton* RadioButton1 = nullptr; // second person at this screen
    TRadioButton* RadioButton6 = nullptr; // person over the network
    TCSpinEdit* CSpinEdit1 = nullptr;     // match length
    TRadioGroup* RadioGroup1 = nullptr;   // difficulty

    // The last choices, from the settings.
    virtual void FormShow(TObject* Sender) = 0;
};
