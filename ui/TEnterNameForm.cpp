#include "ui/TEnterNameForm.h"

#include "myunits/LANGUAGE.h"

TEnterNameForm* EnterNameForm = nullptr;

namespace {

constexpr int NoticeCaption = 43;
constexpr int InvalidAddressText = 165;
constexpr int NoAddressText = 174;

void Warn(int text) {
    TMyLanguages& languages = TMyLanguages::GetSingleton();
    Application->MessageBox(languages.GetString(text), languages.GetString(NoticeCaption),
                            MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

TEnterNameForm::TEnterNameForm(TComponent* Owner) : TForm(Owner) {
    Name = "EnterNameForm";
    Tag = 253;
    Caption = "Congratulations!";
    BorderStyle = bsDialog;
    ClientWidth = 400;
    ClientHeight = 198;
    Position = poScreenCenter;
    PlaceComponents();
    OnShow = Method(this, &TEnterNameForm::FormShow);
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    Loaded();
}

// The message in a frame at the top, the two fields in a frame below it,
// the button at the bottom.
void TEnterNameForm::PlaceComponents() {
    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->BevelOuter = bvLowered;
    Panel1->SetBounds(8, 8, 384, 72);

    Label2 = new TLabel(this);
    Label2->Name = "Label2";
    Label2->Parent = Panel1;
    Label2->Tag = 251;
    Label2->Caption = "Your score is good enough to be posted online!";
    Label2->AutoSize = false;
    Label2->WordWrap = true;
    Label2->SetBounds(8, 6, 368, 60);

    Panel2 = new TPanel(this);
    Panel2->Name = "Panel2";
    Panel2->Parent = this;
    Panel2->BevelOuter = bvLowered;
    Panel2->SetBounds(8, 86, 384, 72);

    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = Panel2;
    Label1->Tag = 250;
    Label1->Caption = "E-Mail:";
    Label1->AutoSize = false;
    Label1->SetBounds(8, 13, 160, 18);

    Edit1 = new TEdit(this);
    Edit1->Name = "Edit1";
    Edit1->Parent = Panel2;
    Edit1->SetBounds(172, 10, 204, 22);

    Label3 = new TLabel(this);
    Label3->Name = "Label3";
    Label3->Parent = Panel2;
    Label3->Tag = 278;
    Label3->Caption = "Country:";
    Label3->AutoSize = false;
    Label3->SetBounds(8, 43, 160, 18);

    Edit2 = new TEdit(this);
    Edit2->Name = "Edit2";
    Edit2->Parent = Panel2;
    Edit2->SetBounds(172, 40, 204, 22);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 252;
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->SetBounds(152, 166, 96, 25);
    Button1->OnClick = Method(this, &TEnterNameForm::Button1Click);
}

void TEnterNameForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
}

void TEnterNameForm::Button1Click(TObject*) {
    const AnsiString address = Edit1->Text;
    if (address.find('@') == AnsiString::npos) {
        Warn(InvalidAddressText);
        return;
    }
    ModalResult = mrOk;
}

// Every way of closing needs an address.
void TEnterNameForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (AnsiString(Edit1->Text).empty()) {
        Warn(NoAddressText);
        CanClose = false;
        return;
    }
    CanClose = true;
}
