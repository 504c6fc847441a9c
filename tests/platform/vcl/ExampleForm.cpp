#include "tests/platform/vcl/ExampleForm.h"

TExampleForm::TExampleForm(TComponent* Owner) : TForm(Owner) {
    Name = "ExampleForm";
    Tag = 305;
    Left = 200;
    Top = 120;
    Caption = "Giving up the game...";
    ClientWidth = 300;
    ClientHeight = 230;
    Color = TColor(0x00D9A00D);
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    Position = poScreenCenter;

    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = "MainMenu1";
    Game1 = new TMenuItem(this);
    Game1->Name = "Game1";
    Game1->Caption = "&Game";
    MainMenu1->Items->Add(Game1);
    SoundOn1 = new TMenuItem(this);
    SoundOn1->Name = "SoundOn1";
    SoundOn1->Tag = 17;
    SoundOn1->Caption = "Sound On";
    SoundOn1->Checked = true;
    SoundOn1->OnClick = Method(this, &TExampleForm::SoundOn1Click);
    Game1->Add(SoundOn1);
    N1 = new TMenuItem(this);
    N1->Name = "N1";
    N1->Caption = "-";
    Game1->Add(N1);
    Quit1 = new TMenuItem(this);
    Quit1->Name = "Quit1";
    Quit1->Tag = 7;
    Quit1->Caption = "Quit";
    Game1->Add(Quit1);
    Menu = MainMenu1;

    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = this;
    Label1->Tag = 294;
    Label1->SetBounds(8, 8, 70, 13);
    Label1->Caption = "Player Name:";
    Edit1 = new TEdit(this);
    Edit1->Name = "Edit1";
    Edit1->Parent = this;
    Edit1->SetBounds(96, 4, 193, 21);
    Edit1->Tag = -1;

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = this;
    GroupBox1->Tag = 306;
    GroupBox1->SetBounds(8, 32, 281, 65);
    GroupBox1->Caption = "Who would like to surrender this game?";
    GroupBox1->Font->Color = clWhite;
    RadioButton1 = new TRadioButton(this);
    RadioButton1->Name = "RadioButton1";
    RadioButton1->Parent = GroupBox1;
    RadioButton1->Tag = -1;
    RadioButton1->SetBounds(16, 20, 249, 17);
    RadioButton1->Caption = "Anna";
    RadioButton1->OnClick = Method(this, &TExampleForm::RadioButton1Click);
    RadioButton2 = new TRadioButton(this);
    RadioButton2->Name = "RadioButton2";
    RadioButton2->Parent = GroupBox1;
    RadioButton2->Tag = -1;
    RadioButton2->SetBounds(16, 40, 249, 17);
    RadioButton2->Caption = "Bob";
    RadioButton2->OnClick = Method(this, &TExampleForm::RadioButton1Click);

    CheckBox1 = new TCheckBox(this);
    CheckBox1->Name = "CheckBox1";
    CheckBox1->Parent = this;
    CheckBox1->Tag = 145;
    CheckBox1->SetBounds(8, 104, 200, 17);
    CheckBox1->Caption = "Never show this window again";
    Memo1 = new TMemo(this);
    Memo1->Name = "Memo1";
    Memo1->Parent = this;
    Memo1->Tag = 691;
    Memo1->SetBounds(8, 126, 281, 44);
    Memo1->ReadOnly = true;
    Memo1->Lines->Text = "First line\r\nSecond line";

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 307;
    Button1->SetBounds(56, 178, 75, 25);
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->Enabled = false;
    Button1->ModalResult = mrOk;
    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 308;
    Button2->SetBounds(168, 178, 75, 25);
    Button2->Caption = "Cancel";
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;

    StatusBar1 = new TStatusBar(this);
    StatusBar1->Name = "StatusBar1";
    StatusBar1->Parent = this;
    StatusBar1->SizeGrip = false;
    for (int width : {150, 100, 50}) {
        TStatusPanel* panel = StatusBar1->Panels->Add();
        panel->Width = width;
        panel->Bevel = pbNone;
    }

    OnCreate = Method(this, &TExampleForm::FormCreate);
    OnDestroy = Method(this, &TExampleForm::FormDestroy);
    OnShow = Method(this, &TExampleForm::FormShow);
    OnCloseQuery = Method(this, &TExampleForm::FormCloseQuery);
    OnClose = Method(this, &TExampleForm::FormClose);
    Loaded();
}

void TExampleForm::FormCreate(TObject*) {
    Events.push_back("create");
}

void TExampleForm::FormDestroy(TObject*) {
    if (DestroyLog)
        DestroyLog->push_back("destroy " + Edit1->Text());
}

void TExampleForm::FormShow(TObject*) {
    Events.push_back("show");
    StatusBar1->Panels->Items[0]->Text = "Shown";
}

void TExampleForm::FormCloseQuery(TObject*, bool& CanClose) {
    Events.push_back("closequery");
    CanClose = AllowClose;
}

void TExampleForm::FormClose(TObject*, TCloseAction& Action) {
    Events.push_back("close");
    Action = CloseAction;
}

void TExampleForm::RadioButton1Click(TObject* Sender) {
    Events.push_back(Sender == RadioButton1 ? "radio1" : "radio2");
    Button1->Enabled = true;
}

void TExampleForm::SoundOn1Click(TObject*) {
    Events.push_back("sound");
    SoundOn1->Checked = !SoundOn1->Checked;
}
