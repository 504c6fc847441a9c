#include "ui/TPlayerSelectionForm.h"

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "platform/win32/Resources.h"

namespace {

using namespace GameSetting;

// Followed by a blank and the file.
constexpr int PackNotLoaded = 281;
constexpr int PreviewNotRead = 298;

AnsiString Text(int number) {
    return MainWindow()->Languages->GetString(number);
}

AnsiString Setting(int index) {
    return MainWindow()->Game->GetSetting(index);
}

void SetSetting(int index, const AnsiString& value) {
    MainWindow()->Game->SetSetting(index, value);
}

// A stored number that does not read as one counts as its default.
int SettingNumber(int index) {
    return MainWindow()->Game->Settings->GetInt(index);
}

void ShowError(const AnsiString& text) {
    Application->MessageBox(text, Text(43), MB_ICONSTOP);
}

} // namespace

TPlayerSelectionForm::TPlayerSelectionForm(TComponent* Owner) : PlayerSelection(Owner) {
    Name = "PlayerSelectionForm";
    Tag = 280;
    Caption = "Beginning a new game...";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons();
    ClientWidth = 612;
    ClientHeight = 284;
    Position = poScreenCenter;
    PlaceComponents();
    OnShow = Method(this, &TPlayerSelectionForm::FormShow);
    Loaded();
}

// The form resource's components with their geometry, Tags and design
// texts. The opponent choices stand in a group on the left, the names and
// the match length beside them, the difficulty below, the graphics set on
// the right, the hint line and the buttons at the bottom.
void TPlayerSelectionForm::PlaceComponents() {
    GroupBox4 = new TGroupBox(this);
    GroupBox4->Name = "GroupBox4";
    GroupBox4->Parent = this;
    GroupBox4->Tag = 282;
    GroupBox4->Caption = "Would you like to play against a...";
    GroupBox4->SetBounds(8, 4, 226, 134);

    const auto radio = [this](TRadioButton*& button, const char* name, int tag, const char* text,
                              int top, void (TPlayerSelectionForm::*handler)(TObject*)) {
        button = new TRadioButton(this);
        button->Name = name;
        button->Parent = GroupBox4;
        button->Tag = tag;
        button->Caption = text;
        button->SetBounds(10, top, 210, 21);
        button->OnClick = Method(this, handler);
    };
    radio(RadioButton4, "RadioButton4", 296, "Tutorial game", 20,
          &TPlayerSelectionForm::RadioButton4Click);
    radio(RadioButton2, "RadioButton2", 289, "Computer Player (Classic Mode)", 42,
          &TPlayerSelectionForm::RadioButton2Click);
    radio(RadioButton3, "RadioButton3", 288, "Computer Player (Arcade Mode)", 64,
          &TPlayerSelectionForm::RadioButton3Click);
    radio(RadioButton1, "RadioButton1", 290, "Human player", 86,
          &TPlayerSelectionForm::RadioButton1Click);
    radio(RadioButton6, "RadioButton6", 291, "Human player over the Internet ", 108,
          &TPlayerSelectionForm::RadioButton6Click);
    RadioButton2->Checked = true;

    Label2 = new TLabel(this);
    Label2->Name = "Label2";
    Label2->Parent = this;
    Label2->Tag = 294;
    Label2->Caption = "Player1 Name:";
    Label2->SetBounds(242, 8, 170, 16);

    Edit2 = new TEdit(this);
    Edit2->Name = "Edit2";
    Edit2->Parent = this;
    Edit2->SetBounds(242, 24, 170, 22);

    Label3 = new TLabel(this);
    Label3->Name = "Label3";
    Label3->Parent = this;
    Label3->Tag = 295;
    Label3->Caption = "Player 2 Name:";
    Label3->SetBounds(242, 52, 170, 16);

    Edit1 = new TEdit(this);
    Edit1->Name = "Edit1";
    Edit1->Parent = this;
    Edit1->SetBounds(242, 68, 170, 22);

    GroupBox3 = new TGroupBox(this);
    GroupBox3->Name = "GroupBox3";
    GroupBox3->Parent = this;
    GroupBox3->Tag = 283;
    GroupBox3->Caption = "Please set a match length";
    GroupBox3->SetBounds(242, 94, 170, 44);

    Label5 = new TLabel(this);
    Label5->Name = "Label5";
    Label5->Parent = GroupBox3;
    Label5->Tag = 292;
    Label5->Caption = "Best of ";
    Label5->SetBounds(8, 21, 70, 16);

    CSpinEdit1 = new TCSpinEdit(this);
    CSpinEdit1->Name = "CSpinEdit1";
    CSpinEdit1->Parent = GroupBox3;
    CSpinEdit1->SetBounds(80, 17, 44, 22);
    CSpinEdit1->MinValue = 1;
    CSpinEdit1->MaxValue = 17;
    CSpinEdit1->Increment = 2;
    CSpinEdit1->Value = 3;

    Label4 = new TLabel(this);
    Label4->Name = "Label4";
    Label4->Parent = GroupBox3;
    Label4->Tag = 293;
    Label4->Caption = "games";
    Label4->SetBounds(128, 21, 40, 16);

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->Name = "RadioGroup1";
    RadioGroup1->Parent = this;
    RadioGroup1->Tag = 284;
    RadioGroup1->Caption = "Please select a difficulty level:";
    RadioGroup1->SetBounds(8, 142, 404, 56);
    RadioGroup1->Columns = 2;
    RadioGroup1->Items->Text = "Beginner\r\nEasy\r\nRegular\r\nDifficult";
    RadioGroup1->OnClick = Method(this, &TPlayerSelectionForm::RadioGroup1Click);

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = this;
    GroupBox1->Tag = 297;
    GroupBox1->Caption = "Graphics";
    GroupBox1->SetBounds(419, 4, 185, 194);

    ComboBox1 = new TComboBox(this);
    ComboBox1->Name = "ComboBox1";
    ComboBox1->Parent = GroupBox1;
    ComboBox1->Style = csDropDownList;
    ComboBox1->SetBounds(8, 22, 169, 24);
    ComboBox1->Items->Text = "Classic\r\nDesktop\r\nSpace Station\r\nToyland";
    ComboBox1->OnChange = Method(this, &TPlayerSelectionForm::ComboBox1Change);

    Image1 = new TImage(this);
    Image1->Name = "Image1";
    Image1->Parent = GroupBox1;
    Image1->SetBounds(8, 56, 169, 129);
    Image1->Stretch = true;

    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = this;
    Label1->AutoSize = false;
    Label1->WordWrap = true;
    Label1->SetBounds(8, 204, 596, 44);

    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 285;
    Button2->Caption = "Help";
    Button2->SetBounds(8, 252, 96, 25);
    Button2->OnClick = Method(this, &TPlayerSelectionForm::Button2Click);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 286;
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->SetBounds(404, 252, 96, 25);
    Button1->OnClick = Method(this, &TPlayerSelectionForm::Button1Click);

    Button3 = new TButton(this);
    Button3->Name = "Button3";
    Button3->Parent = this;
    Button3->Tag = 287;
    Button3->Caption = "Quit Game";
    Button3->ModalResult = 2;
    Button3->SetBounds(508, 252, 96, 25);
    Button3->OnClick = Method(this, &TPlayerSelectionForm::Button3Click);
}

void TPlayerSelectionForm::FormShow(TObject*) {
    MainWindow()->Languages->WriteCaption(this);
    RadioGroup1->Items->Text = Text(99);
    ComboBox1->Items->Text = Text(82);

    ComboBox1->ItemIndex = SettingNumber(GraphicsSet);
    if (ComboBox1->ItemIndex < 0)
        ComboBox1->ItemIndex = 0;
    ComboBox1Change(this);

    Edit2->Text = Setting(Player1Name);
    RestoreOpponentChoice(Setting(GameType));
    CSpinEdit1->Value = SettingNumber(MatchLength);
    RadioGroup1->ItemIndex = SettingNumber(Difficulty);
}

// Any other stored value changes nothing.
void TPlayerSelectionForm::RestoreOpponentChoice(const AnsiString& choice) {
    const struct {
        const char* value;
        TRadioButton* button;
        void (TPlayerSelectionForm::*handler)(TObject*);
    } choices[] = {
        {"1", RadioButton2, &TPlayerSelectionForm::RadioButton2Click},
        {"2", RadioButton1, &TPlayerSelectionForm::RadioButton1Click},
        {"3", RadioButton6, &TPlayerSelectionForm::RadioButton6Click},
        {"4", RadioButton3, &TPlayerSelectionForm::RadioButton3Click},
        {"5", RadioButton4, &TPlayerSelectionForm::RadioButton4Click},
    };
    for (const auto& c : choices)
        if (choice == c.value) {
            c.button->Checked = true;
            (this->*c.handler)(this);
        }
}

void TPlayerSelectionForm::ShowChoice(bool difficulty, bool matchLength, bool secondName,
                                      bool secondNameLabel, int choiceText, int hintText) {
    RadioGroup1->Enabled = difficulty;
    CSpinEdit1->Enabled = matchLength;
    Label5->Enabled = matchLength;
    Label4->Enabled = matchLength;
    Edit1->Enabled = secondName;
    Label3->Enabled = secondNameLabel;
    Label1->Caption = Text(choiceText) + Text(hintText);
}

void TPlayerSelectionForm::RadioButton2Click(TObject*) {
    ShowChoice(true, true, false, true, 289, 147);
    Edit1->Text = Text(103);
    RadioGroup1->ItemIndex = SettingNumber(Difficulty);
}

void TPlayerSelectionForm::RadioButton1Click(TObject*) {
    ShowChoice(false, true, true, true, 290, 149);
    Edit2->Enabled = true;
    Edit1->Text = Setting(Player2Name);
}

void TPlayerSelectionForm::RadioButton6Click(TObject*) {
    ShowChoice(false, false, false, false, 291, 150);
    Edit2->Enabled = true;
}

void TPlayerSelectionForm::RadioButton3Click(TObject*) {
    ShowChoice(false, false, false, false, 288, 148);
    Edit1->Text = Text(103);
}

void TPlayerSelectionForm::RadioButton4Click(TObject*) {
    ShowChoice(false, false, false, false, 296, 146);
    Edit1->Text = Text(103);
}

void TPlayerSelectionForm::RadioGroup1Click(TObject*) {
    static const int hints[] = {138, 141, 142, 143};
    const int index = RadioGroup1->ItemIndex;
    if (index < 0 || index > 3)
        return;
    Label1->Caption = Text(hints[index]);
    SetSetting(Difficulty, IntToStr(index));
}

void TPlayerSelectionForm::ComboBox1Change(TObject*) {
    const int set = ComboBox1->ItemIndex;
    if (set < 0)
        return;
    ShowPreview(set);
    // The board keeps a set that it can draw.
    if (!LoadPack(set) && set != 0) {
        ComboBox1->ItemIndex = 0;
        ComboBox1Change(this);
    }
}

// A file that is no pack is refused here instead of being handed to the
// board as a null handle.
bool TPlayerSelectionForm::LoadPack(int set) {
    const AnsiString pack = MainWindow()->AppDir + "gfx" + IntToStr(set) + ".dll";
    try {
        HINSTANCE library = LoadLibraryA(pack.c_str());
        if (!library)
            throw Exception("no graphics pack");
        MainWindow()->GraphicsLibrary = library;
        MainWindow()->Game->SetGraphicsLibrary(MainWindow()->GraphicsLibrary);
        // The board may have changed its size: the main window paints the
        // background behind it again.
        MainWindow()->Invalidate();
        return true;
    } catch (const Exception&) {
        ShowError(Text(PackNotLoaded) + " " + pack);
        return false;
    }
}

// A preview that cannot be read leaves the picture empty.
void TPlayerSelectionForm::ShowPreview(int set) {
    const AnsiString preview = MainWindow()->AppDir + "sshot" + IntToStr(set) + ".bmp";
    try {
        Image1->Picture->LoadFromFile(preview);
    } catch (const Exception&) {
        Image1->Picture->Bitmap->Width = 0;
        Image1->Picture->Bitmap->Height = 0;
        ShowError(Text(PreviewNotRead) + " " + preview);
    }
}

void TPlayerSelectionForm::Button1Click(TObject*) {
    SetSetting(GraphicsSet, IntToStr(ComboBox1->ItemIndex));
    if (RadioButton1->Checked && Edit1->Text().empty()) {
        Application->MessageBox(Text(139), Text(43), MB_ICONSTOP);
        return;
    }
    if (Edit2->Text().empty()) {
        Application->MessageBox(Text(140), Text(43), MB_ICONSTOP);
        return;
    }
    SetSetting(Player1Name, Edit2->Text);
    if (RadioButton1->Checked)
        SetSetting(Player2Name, Edit1->Text);
    SetSetting(GameType, OpponentChoice());
    SetSetting(MatchLength, IntToStr(CSpinEdit1->Value));
    SetSetting(Difficulty, IntToStr(RadioGroup1->ItemIndex));
    ModalResult = 1;
}

AnsiString TPlayerSelectionForm::OpponentChoice() const {
    if (RadioButton2->Checked)
        return "1";
    if (RadioButton1->Checked)
        return "2";
    if (RadioButton6->Checked)
        return "3";
    if (RadioButton3->Checked)
        return "4";
    return "5";
}

void TPlayerSelectionForm::Button2Click(TObject*) {
    Application->HelpJump(TMyLanguages::GermanTexts() ? "IDH_Spiel_Modi"
                                                      : "IDH_Bedienung_von_Korvel");
}

// The button's modal result closes the dialog.
void TPlayerSelectionForm::Button3Click(TObject*) {}
