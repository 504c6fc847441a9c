#include "online/TUpdateNotification.h"

TUpdateNotification* UpdateNotification = nullptr;

TUpdateNotification::TUpdateNotification(TComponent* Owner) : TForm(Owner) {
    Name = "UpdateNotification";
    Tag = 604;
    Caption = "";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    Position = poScreenCenter;
    ClientWidth = 263;
    ClientHeight = 187;

    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->SetBounds(8, 8, 247, 137);
    Panel1->Caption = "";
    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = Panel1;
    Label1->Tag = 600;
    Label1->WordWrap = true;
    Label1->AutoSize = false;
    Label1->SetBounds(12, 10, 223, 92);
    Label1->Caption = "A new version of Korvel, which contains new features that make it even more "
                      "interesting, has been released. Would you like to download it now?";
    CheckBox1 = new TCheckBox(this);
    CheckBox1->Name = "CheckBox1";
    CheckBox1->Parent = Panel1;
    CheckBox1->Tag = 603;
    CheckBox1->SetBounds(12, 110, 223, 17);
    CheckBox1->Caption = "Never tell me again";

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 601;
    Button1->SetBounds(40, 154, 75, 25);
    Button1->Caption = "Yes";
    Button1->Default = true;
    Button1->ModalResult = mrYes;
    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 602;
    Button2->SetBounds(148, 154, 75, 25);
    Button2->Caption = "No";
    Button2->Cancel = true;
    Button2->ModalResult = mrNo;
    Loaded();
}
