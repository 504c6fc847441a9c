#pragma once
// The question which of two people at one screen gives up the game. The
// caller sets the two radio buttons to the players' names and shows the
// dialog modally; on result 1 the checked button names the side that gives
// up.

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TSurrenderForm : public TForm {
public:
    TGroupBox* GroupBox1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TButton* Button1;
    TButton* Button2;

    explicit TSurrenderForm(TComponent* Owner);

    void FormShow(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
};

extern TSurrenderForm* SurrenderForm;
