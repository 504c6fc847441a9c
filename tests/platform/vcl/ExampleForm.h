#pragma once
// A small dialog written the way every form of the program is written: its
// constructor reads like its form resource.

#include <string>
#include <vector>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TExampleForm : public TForm {
public:
    TMainMenu* MainMenu1;
    TMenuItem* Game1;
    TMenuItem* SoundOn1;
    TMenuItem* N1;
    TMenuItem* Quit1;
    TLabel* Label1;
    TEdit* Edit1;
    TGroupBox* GroupBox1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TCheckBox* CheckBox1;
    TMemo* Memo1;
    TButton* Button1;
    TButton* Button2;
    TStatusBar* StatusBar1;

    explicit TExampleForm(TComponent* Owner);

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void RadioButton1Click(TObject* Sender);
    void SoundOn1Click(TObject* Sender);

    // What the handlers saw, in order.
    std::vector<std::string> Events;
    bool AllowClose = true;
    TCloseAction CloseAction = caHide;
    std::vector<std::string>* DestroyLog = nullptr;
};
