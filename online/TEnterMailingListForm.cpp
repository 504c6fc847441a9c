#include "online/TEnterMailingListForm.h"

#include "myunits/LANGUAGE.h"
#include "web/HTTPConnector.h"

TEnterMailingListForm* EnterMailingListForm = nullptr;

namespace {

// The relay files mailing-list entries under this mailbox word.
const AnsiString MailingListRecipient = "Mailinglistentries";

AnsiString Text(int number) {
    return TMyLanguages::GetSingleton().GetString(number);
}

} // namespace

TEnterMailingListForm::TEnterMailingListForm(TComponent* Owner) : TForm(Owner) {
    Name = "EnterMailingListForm";
    Tag = 580;
    Caption = "Join Our Mailing List";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    ClientWidth = 380;
    ClientHeight = 190;
    Position = poScreenCenter;
    PlaceComponents();
    OnShow = Method(this, &TEnterMailingListForm::FormShow);
    Loaded();
}

// The invitation on top, the two prompts with their fields beside them,
// the buttons at the bottom right.
void TEnterMailingListForm::PlaceComponents() {
    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = this;
    Label1->Tag = 581;
    Label1->AutoSize = false;
    Label1->WordWrap = true;
    Label1->Caption = "Join our mailing list.";
    Label1->SetBounds(12, 12, 356, 64);

    const auto prompt = [this](TLabel*& label, const char* name, int tag, const char* text,
                               int top) {
        label = new TLabel(this);
        label->Name = name;
        label->Parent = this;
        label->Tag = tag;
        label->AutoSize = false;
        label->Caption = text;
        label->SetBounds(12, top + 3, 130, 16);
    };
    const auto field = [this](TEdit*& edit, const char* name, int top) {
        edit = new TEdit(this);
        edit->Name = name;
        edit->Parent = this;
        edit->SetBounds(148, top, 220, 22);
    };
    prompt(Label2, "Label2", 582, "Your name:", 84);
    field(Edit1, "Edit1", 84);
    prompt(Label3, "Label3", 583, "Your e-mail address:", 114);
    field(Edit2, "Edit2", 114);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 585;
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->SetBounds(188, 154, 86, 25);
    Button1->OnClick = Method(this, &TEnterMailingListForm::Button1Click);

    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 584;
    Button2->Caption = "Cancel";
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;
    Button2->SetBounds(282, 154, 86, 25);
    Button2->OnClick = Method(this, &TEnterMailingListForm::Button2Click);
}

void TEnterMailingListForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
}

// The user confirms being online first; a failed send leaves the form open
// for another try.
void TEnterMailingListForm::Button1Click(TObject*) {
    if (Application->MessageBox(Text(586), "", MB_YESNO | MB_ICONQUESTION) == IDNO) {
        Application->MessageBox(Text(587), Text(43), MB_OK | MB_ICONSTOP);
        return;
    }
    const AnsiString body = "Name= " + Edit1->Text() + "\nEMail= " + Edit2->Text();
    if (SendMailViaWebForm("Automatic Korvel Mailing list enter", Edit2->Text, Edit1->Text, body,
                           MailingListRecipient)) {
        Application->MessageBox(Text(589), Text(590), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
        ModalResult = mrOk;
    } else {
        Application->MessageBox(Text(587), Text(588), MB_OK | MB_ICONSTOP);
    }
}

void TEnterMailingListForm::Button2Click(TObject*) {
    Close();
}
