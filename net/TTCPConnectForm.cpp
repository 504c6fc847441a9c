#include "net/TTCPConnectForm.h"

#include "myunits/LANGUAGE.h"
#include "net/LinkColours.h"
#include "platform/win32/ShellApi.h"
#include "web/WSocketFunctions.h"

TTCPConnectForm* TCPConnectForm = nullptr;

namespace {

void Paint(TControl* control, TColor colour, TColor text) {
    control->Color = colour;
    control->Font->Color = text;
}

// The machine's own addresses; a lookup that fails finds none.
std::vector<AnsiString> OwnAddresses() {
    std::vector<AnsiString> addresses;
    try {
        TStrings* list = LocalIPList();
        for (int i = 0; i < list->Count; ++i)
            addresses.push_back(list->Strings[i]);
    } catch (const Exception&) {
        addresses.clear();
    }
    return addresses;
}

} // namespace

TTCPConnectForm::TTCPConnectForm(TComponent* Owner) : TForm(Owner) {
    Name = "TCPConnectForm";
    Tag = 320;
    Caption = "Trying to connect a remote player...";
    // Wider than its resource's 395: our fonts are wider than the old ones.
    ClientWidth = 440;
    ClientHeight = 255;
    BorderStyle = bsDialog;
    FormStyle = fsStayOnTop;
    Position = poScreenCenter;
    Font->Name = "MS Sans Serif";
    Font->Height = 11;

    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->Tag = -1;
    Panel1->Align = alClient;
    Panel1->Caption = "";
    Paint(Panel1, LinkLightBlue, clWhite);

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->Name = "RadioGroup1";
    RadioGroup1->Parent = Panel1;
    RadioGroup1->Tag = 321;
    RadioGroup1->SetBounds(8, 8, 236, 73);
    RadioGroup1->Caption = "Would you like to...";
    Paint(RadioGroup1, LinkDarkBlue, clWhite);
    RadioButton1 = new TRadioButton(this);
    RadioButton1->Name = "RadioButton1";
    RadioButton1->Parent = RadioGroup1;
    RadioButton1->Tag = 322;
    RadioButton1->SetBounds(10, 22, 222, 18);
    RadioButton1->Caption = "Call your opponent";
    RadioButton1->Checked = true;
    RadioButton1->Font->Color = clWhite;
    RadioButton1->OnClick = Method(this, &TTCPConnectForm::RadioButton1Click);
    RadioButton2 = new TRadioButton(this);
    RadioButton2->Name = "RadioButton2";
    RadioButton2->Parent = RadioGroup1;
    RadioButton2->Tag = 323;
    RadioButton2->SetBounds(10, 46, 222, 18);
    RadioButton2->Caption = "Wait for an opponent to call you";
    RadioButton2->Font->Color = clWhite;
    RadioButton2->OnClick = Method(this, &TTCPConnectForm::RadioButton2Click);

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = Panel1;
    GroupBox1->Tag = 329;
    GroupBox1->SetBounds(8, 88, 236, 57);
    GroupBox1->Caption = "Enter your opponents IP number:";
    Paint(GroupBox1, LinkDarkBlue, clWhite);
    Edit1 = new TEdit(this);
    Edit1->Name = "Edit1";
    Edit1->Parent = GroupBox1;
    Edit1->Tag = -1;
    Edit1->SetBounds(10, 24, 216, 21);
    Edit1->Font->Color = clBlack;
    Edit1->OnChange = Method(this, &TTCPConnectForm::Edit1Change);
    Edit1->OnExit = Method(this, &TTCPConnectForm::Edit1Exit);

    GroupBox2 = new TGroupBox(this);
    GroupBox2->Name = "GroupBox2";
    GroupBox2->Parent = Panel1;
    GroupBox2->Tag = 324;
    GroupBox2->SetBounds(8, 88, 236, 121);
    GroupBox2->Caption = "Your IP number(s):";
    GroupBox2->Visible = false;
    Paint(GroupBox2, LinkDarkBlue, clWhite);
    Memo1 = new TMemo(this);
    Memo1->Name = "Memo1";
    Memo1->Parent = GroupBox2;
    Memo1->Tag = -1;
    Memo1->SetBounds(10, 22, 216, 89);
    Memo1->ReadOnly = true;
    Memo1->ScrollBars = ssVertical;
    Memo1->Font->Color = clBlack;

    Panel2 = new TPanel(this);
    Panel2->Name = "Panel2";
    Panel2->Parent = Panel1;
    Panel2->Tag = -1;
    Panel2->SetBounds(252, 8, 180, 201);
    Panel2->Caption = "";
    Paint(Panel2, LinkDarkBlue, clWhite);
    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = Panel2;
    Label1->Tag = 151;
    Label1->AutoSize = false;
    Label1->WordWrap = true;
    Label1->SetBounds(8, 8, 164, 150);
    Label1->Caption = "Label1";
    Label1->Font->Color = clWhite;
    Button4 = new TButton(this);
    Button4->Name = "Button4";
    Button4->Parent = Panel2;
    Button4->Tag = 152;
    Button4->SetBounds(8, 166, 164, 25);
    Button4->Font->Color = clBlack;
    Button4->Caption = "Button4";
    Button4->OnClick = Method(this, &TTCPConnectForm::Button4Click);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = Panel1;
    Button1->Tag = 326;
    Button1->SetBounds(92, 220, 75, 25);
    Button1->Font->Color = clBlack;
    Button1->Caption = "OK";
    Button1->Enabled = false;
    Button1->ModalResult = mrOk;
    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = Panel1;
    Button2->Tag = 327;
    Button2->SetBounds(182, 220, 75, 25);
    Button2->Font->Color = clBlack;
    Button2->Caption = "Cancel";
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;
    Button3 = new TButton(this);
    Button3->Name = "Button3";
    Button3->Parent = Panel1;
    Button3->Tag = 328;
    Button3->SetBounds(272, 220, 75, 25);
    Button3->Font->Color = clBlack;
    Button3->Caption = "Help";
    Button3->OnClick = Method(this, &TTCPConnectForm::Button3Click);

    OnShow = Method(this, &TTCPConnectForm::FormShow);
    Loaded();
}

void TTCPConnectForm::FormShow(TObject*) {
    TMyLanguages& languages = TMyLanguages::GetSingleton();
    languages.WriteCaption(this);
    const std::vector<AnsiString> addresses = OwnAddresses();
    Memo1->Lines->Clear();
    for (const AnsiString& address : addresses)
        Memo1->Lines->Add(address);
    if (addresses.empty()) {
        Application->MessageBox(languages.GetString(126), languages.GetString(55), MB_ICONERROR);
        ModalResult = mrCancel;
        return;
    }
    GroupBox2->Caption = languages.GetString(addresses.size() == 1 ? 127 : 128);
}

void TTCPConnectForm::RadioButton1Click(TObject*) {
    GroupBox2->Visible = false;
    GroupBox1->Visible = true;
    Button1->Enabled = IsValidIPAddress(Edit1->Text);
}

void TTCPConnectForm::RadioButton2Click(TObject*) {
    GroupBox1->Visible = false;
    GroupBox2->Visible = true;
    Button1->Enabled = true;
}

void TTCPConnectForm::Edit1Change(TObject*) {
    Button1->Enabled = IsValidIPAddress(Edit1->Text);
}

void TTCPConnectForm::Edit1Exit(TObject*) {
    if (IsValidIPAddress(Edit1->Text))
        return;
    TMyLanguages& languages = TMyLanguages::GetSingleton();
    Application->MessageBox(languages.GetString(124), languages.GetString(125), MB_ICONEXCLAMATION);
}

void TTCPConnectForm::Button3Click(TObject*) {
    Application->HelpJump(TMyLanguages::GermanTexts() ? "IDH_Verbindung-german" : "IDH_Verbindung");
}

void TTCPConnectForm::Button4Click(TObject*) {
    const AnsiString page = TMyLanguages::GetSingleton().GetString(653);
    ShellExecuteA(Handle, "open", page.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

bool TTCPConnectForm::IsValidIPAddress(const AnsiString& text) {
    int dots = 0;
    int digits = 0; // in the current group
    int value = 0;
    for (char c : text) {
        if (c == '.') {
            if (digits == 0)
                return false; // at the start or right after another dot
            ++dots;
            digits = 0;
            value = 0;
        } else if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            if (++digits > 3 || value > 255)
                return false;
        } else {
            return false;
        }
    }
    return dots == 3 && digits > 0;
}
