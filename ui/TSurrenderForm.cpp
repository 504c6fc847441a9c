#include "ui/TSurrenderForm.h"

#include "myunits/LANGUAGE.h"

TSurrenderForm* SurrenderForm = nullptr;

TSurrenderForm::TSurrenderForm(TComponent* Owner) : TForm(Owner) {
    Name = "SurrenderForm";
    Tag = 305;
    Caption = "Giving up the game...";
    ClientWidth = 297;
    ClientHeight = 137;
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    FormStyle = fsStayOnTop;
    Position = poScreenCenter;

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = this;
    GroupBox1->Tag = 306;
    GroupBox1->SetBounds(8, 8, 281, 81);
    GroupBox1->Caption = "Who would like to surrender this game?";
    RadioButton1 = new TRadioButton(this);
    RadioButton1->Name = "RadioButton1";
    RadioButton1->Parent = GroupBox1;
    RadioButton1->Tag = -1;
    RadioButton1->SetBounds(16, 24, 249, 17);
    RadioButton1->Caption = "RadioButton1";
    RadioButton1->OnClick = Method(this, &TSurrenderForm::RadioButton1Click);
    RadioButton2 = new TRadioButton(this);
    RadioButton2->Name = "RadioButton2";
    RadioButton2->Parent = GroupBox1;
    RadioButton2->Tag = -1;
    RadioButton2->SetBounds(16, 48, 249, 17);
    RadioButton2->Caption = "RadioButton2";
    RadioButton2->OnClick = Method(this, &TSurrenderForm::RadioButton1Click);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 307;
    Button1->SetBounds(56, 100, 75, 25);
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->Enabled = false;
    Button1->ModalResult = mrOk;
    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 308;
    Button2->SetBounds(166, 100, 75, 25);
    Button2->Caption = "Cancel";
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;

    OnShow = Method(this, &TSurrenderForm::FormShow);
    Loaded();
}

void TSurrenderForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
}

void TSurrenderForm::RadioButton1Click(TObject*) {
    Button1->Enabled = true;
}
