#pragma once
// The summary between two stages of the arcade: the score before the
// stage, the bonuses for the seconds and the pieces left and the total,
// the time left, the bonus time of the next stage and the total time. On
// its first paint it counts the bonuses visibly into the totals, one unit
// every 2 ms; the button ends the count and the dialog at once. It only
// shows the sums: the controller applies them itself after the dialog.

#include <cstdint>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TAdvanceStageForm : public TForm {
public:
    // Components of the form resource.
    TLabel* Label15;      // how the bonus is earned
    TGroupBox* GroupBox1; // score
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;       // score before the stage
    TLabel* Label6;       // bonus for the seconds left
    TLabel* Label7;       // bonus for the pieces left
    TLabel* Label8;       // total score
    TGroupBox* GroupBox2; // time
    TLabel* Label9;
    TLabel* Label10;
    TLabel* Label11;
    TLabel* Label12; // seconds left
    TLabel* Label13; // bonus seconds
    TLabel* Label14; // total seconds
    TButton* Button1;

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void FormPaint(TObject* Sender);

    explicit TAdvanceStageForm(TComponent* Owner);

    // Set by the show, cleared when the count starts: it runs once.
    uint8_t CountPending = 0;

private:
    void PlaceComponents();
    TLabel* NewLabel(TWinControl* parent, const char* name, int tag, const char* caption, int left,
                     int top, int width);
    // Moves the value of `from` into `to`, unit by unit; false when the
    // dialog was closed meanwhile.
    bool CountInto(TLabel* from, TLabel* to);
};

extern TAdvanceStageForm* AdvanceStageForm;
