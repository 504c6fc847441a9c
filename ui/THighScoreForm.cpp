#include "ui/THighScoreForm.h"

#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "platform/inet/NMHTTP.h"
#include "ui/TForm1.h"
#include "ui/TScore.h"
#include "web/HttpProt.h"

THighScoreForm* HighScoreForm = nullptr;

namespace {

constexpr int TableSize = 10;
constexpr int GermanBase = 2000;

// Both tables share their height; their columns start under the heads.
constexpr int PanelTop = 8;
constexpr int PanelHeight = 266;
constexpr int HeadTop = 34;
constexpr int ColumnTop = 54;
constexpr int ColumnHeight = 202;
constexpr int OnlineLeft = 308;
constexpr int OnlineWidth = 404;

TPanel* NewPanel(TComponent* owner, TWinControl* parent, const char* name, int left, int width) {
    auto* panel = new TPanel(owner);
    panel->Name = name;
    panel->Parent = parent;
    panel->BevelOuter = bvLowered;
    panel->SetBounds(left, PanelTop, width, PanelHeight);
    return panel;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const char* name, int tag,
                 const char* caption, int left, int top, int width) {
    auto* label = new TLabel(owner);
    label->Name = name;
    label->Parent = parent;
    label->Tag = tag;
    label->Caption = caption;
    label->AutoSize = false;
    label->SetBounds(left, top, width, 18);
    return label;
}

TLabel* NewTitle(TComponent* owner, TWinControl* parent, const char* name, int tag,
                 const char* caption, int width) {
    TLabel* title = NewLabel(owner, parent, name, tag, caption, 10, 8, width);
    title->Font->Style = TFontStyles() << fsBold;
    return title;
}

TMemo* NewMemo(TComponent* owner, TWinControl* parent, const char* name, int left, int top,
               int width, int height) {
    auto* memo = new TMemo(owner);
    memo->Name = name;
    memo->Parent = parent;
    memo->ReadOnly = true;
    memo->BorderStyle = bsNone;
    memo->WordWrap = false;
    memo->SetBounds(left, top, width, height);
    return memo;
}

TMemo* NewColumn(TComponent* owner, TWinControl* parent, const char* name, int left, int width) {
    return NewMemo(owner, parent, name, left, ColumnTop, width, ColumnHeight);
}

TScore* ScoreAt(TList* list, int index) {
    return static_cast<TScore*>(list->Items[index]());
}

} // namespace

THighScoreForm::THighScoreForm(TComponent* Owner) : TForm(Owner) {
    Name = "HighScoreForm";
    Tag = 260;
    Caption = "Highscores";
    BorderStyle = bsDialog;
    ClientWidth = 720;
    ClientHeight = 318;
    Position = poScreenCenter;
    PlaceComponents();
    NMHTTP1 = new TNMHTTP(this);
    OnCreate = Method(this, &THighScoreForm::FormCreate);
    OnDestroy = Method(this, &THighScoreForm::FormDestroy);
    OnShow = Method(this, &THighScoreForm::FormShow);
    Loaded();
}

// The local table on the left, the online table on the right with the
// introduction in front of it (it comes later, so it lies on top), the
// buttons below.
void THighScoreForm::PlaceComponents() {
    PlaceLocalTable();
    PlaceOnlineTable();
    PlaceIntroduction();
    PlaceButtons();
    HttpCli1 = new THttpCli(this);
    HttpCli1->Name = "HttpCli1";
}

void THighScoreForm::PlaceLocalTable() {
    Panel2 = NewPanel(this, this, "Panel2", 8, 292);
    Label1 = NewTitle(this, Panel2, "Label1", 262, "Local Highscores", 272);
    Label2 = NewLabel(this, Panel2, "Label2", 263, "Name", 10, HeadTop, 150);
    Label3 = NewLabel(this, Panel2, "Label3", 264, "Stage", 164, HeadTop, 50);
    Label4 = NewLabel(this, Panel2, "Label4", 265, "Score", 218, HeadTop, 64);
    Memo1 = NewColumn(this, Panel2, "Memo1", 10, 150);
    Memo2 = NewColumn(this, Panel2, "Memo2", 164, 50);
    Memo3 = NewColumn(this, Panel2, "Memo3", 218, 64);
}

void THighScoreForm::PlaceOnlineTable() {
    Panel3 = NewPanel(this, this, "Panel3", OnlineLeft, OnlineWidth);
    Label8 = NewTitle(this, Panel3, "Label8", 268, "Online Highscores", 384);
    Label5 = NewLabel(this, Panel3, "Label5", 263, "Name", 10, HeadTop, 130);
    Label9 = NewLabel(this, Panel3, "Label9", 277, "Country", 144, HeadTop, 110);
    Label6 = NewLabel(this, Panel3, "Label6", 264, "Stage", 258, HeadTop, 56);
    Label7 = NewLabel(this, Panel3, "Label7", 265, "Score", 318, HeadTop, 76);
    Memo4 = NewColumn(this, Panel3, "Memo4", 10, 130);
    Memo7 = NewColumn(this, Panel3, "Memo7", 144, 110);
    Memo5 = NewColumn(this, Panel3, "Memo5", 258, 56);
    Memo6 = NewColumn(this, Panel3, "Memo6", 318, 76);
}

void THighScoreForm::PlaceIntroduction() {
    Panel4 = NewPanel(this, this, "Panel4", OnlineLeft, OnlineWidth);
    Panel4->Enabled = false;
    Label10 = NewTitle(this, Panel4, "Label10", 690, "Online Highscores", 384);
    Memo8 = NewMemo(this, Panel4, "Memo8", 10, HeadTop, 384, 222);
    Memo8->Tag = 691;
    // The panel is disabled only so that it takes no input; its text reads
    // as text.
    Memo8->Font->Color = clWindowText;
}

void THighScoreForm::PlaceButtons() {
    Button3 = new TButton(this);
    Button3->Name = "Button3";
    Button3->Parent = this;
    Button3->Tag = 267;
    Button3->Caption = "Help";
    Button3->SetBounds(8, 284, 96, 25);
    Button3->OnClick = Method(this, &THighScoreForm::Button3Click);

    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Tag = 266;
    Button2->Caption = "Compare Online";
    Button2->SetBounds(OnlineLeft, 284, 160, 25);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 261;
    Button1->Caption = "OK";
    Button1->Default = true;
    Button1->ModalResult = mrOk;
    Button1->SetBounds(616, 284, 96, 25);
}

void THighScoreForm::FormCreate(TObject*) {
    LocalScores = new TList;
    OnlineScores = new TList;
    QueuedScores = new TList;
    Page = new TStringList;
}

void THighScoreForm::FormDestroy(TObject*) {
    ClearScores(LocalScores);
    delete LocalScores;
    ClearScores(OnlineScores);
    delete OnlineScores;
    delete QueuedScores;
    delete Page;
    delete NMHTTP1;
    NMHTTP1 = nullptr;
}

void THighScoreForm::ClearScores(TList* list) {
    for (int i = 0; i < list->Count; ++i)
        delete ScoreAt(list, i);
    list->Clear();
}

void THighScoreForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
    LoadScores();
}

bool THighScoreForm::InsertScore(const AnsiString& name, int32_t stage, int32_t score,
                                 const AnsiString& country, TList* list) {
    auto* entry = new TScore(name, stage, score, country);
    list->Add(entry);
    list->Sort(CompareScores);
    if (list->IndexOf(entry) == TableSize) {
        list->Delete(TableSize);
        delete entry;
        return false;
    }
    if (list->Count > TableSize) {
        delete ScoreAt(list, list->Count - 1);
        list->Delete(list->Count - 1);
    }
    ShowScores();
    return true;
}

void THighScoreForm::ShowScores() {
    for (TMemo* memo : {Memo1, Memo2, Memo3, Memo4, Memo7, Memo5, Memo6})
        memo->Lines->Clear();
    for (int i = 0; i < LocalScores->Count; ++i) {
        const TScore& entry = *ScoreAt(LocalScores, i);
        Memo1->Lines->Add(entry.Name);
        Memo2->Lines->Add(IntToStr(entry.Stage));
        Memo3->Lines->Add(IntToStr(entry.Score));
    }
    for (int i = 0; i < OnlineScores->Count; ++i) {
        const TScore& entry = *ScoreAt(OnlineScores, i);
        Memo4->Lines->Add(entry.Name);
        Memo7->Lines->Add(entry.Country);
        Memo6->Lines->Add(IntToStr(entry.Score));
        Memo5->Lines->Add(IntToStr(entry.Stage));
    }
}

void THighScoreForm::SaveScores() {
    AnsiString text;
    for (int i = 0; i < LocalScores->Count; ++i)
        text += ScoreAt(LocalScores, i)->ScoreToText();
    Form1->Game->SetSetting(GameSetting::HighScores, text);
}

// A record that cannot be read is dropped and reading goes on with what is
// left of the text. A rest without any "|" holds no record, and reading it
// would take nothing away from it.
void THighScoreForm::LoadScores() {
    ClearScores(LocalScores);
    AnsiString text = Form1->Game->GetSetting(GameSetting::HighScores);
    while (!text.empty() && text.find('|') != AnsiString::npos) {
        try {
            LocalScores->Add(new TScore(text));
        } catch (const Exception&) {
        }
    }
    LocalScores->Sort(CompareScores);
    ShowScores();
}

void THighScoreForm::Button3Click(TObject*) {
    Application->HelpJump(TMyLanguages::GetLanguageBase() == GermanBase
                              ? "IDH_Spiel_Modi"
                              : "IDH_Bedienung_von_Korvel");
}
