#include "ui/THighScoreForm.h"

#include <exception>

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Utils.h"
#include "online/TIData.h"
#include "online/UpdateCheck.h"
#include "platform/inet/NMHTTP.h"
#include "ui/TEnterNameForm.h"
#include "ui/TPostedScores.h"
#include "ui/TScore.h"
#include "web/HTTPConnector.h"
#include "web/HttpProt.h"

THighScoreForm* HighScoreForm = nullptr;

namespace {

constexpr int TableSize = 10;

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

// Setting 26: "2" when the user asked never to hear of updates again.
const AnsiString UpdatesRefused = "2";
constexpr uint8_t NeverTellAgain = 3; // the update check's answer

// The markers of a row of the online page, in their order on the line.
const char* const NameMarker = "<!--nam-->";
const char* const CountryMarker = "<!--cou-->";
const char* const StageMarker = "<!--sta-->";
const char* const ScoreMarker = "<!--poi-->";
const char* const EndMarker = "<!--eor-->";

TScore* ScoreAt(TList* list, int index) {
    return static_cast<TScore*>(list->Items[index]());
}

AnsiString LanguageText(int number) {
    return TMyLanguages::GetSingleton().GetString(number);
}

void Tell(const AnsiString& text, int caption, int flags) {
    Application->MessageBox(text, LanguageText(caption), flags);
}

bool Contains(const AnsiString& text, const AnsiString& part) {
    return text.find(part) != AnsiString::npos;
}

bool IsRow(const AnsiString& line) {
    return Contains(line, NameMarker) && Contains(line, CountryMarker) &&
           Contains(line, StageMarker) && Contains(line, ScoreMarker);
}

// The text after the marker up to the next one, trimmed; empty when either
// is missing.
AnsiString Field(const AnsiString& row, const char* marker, const char* nextMarker) {
    const size_t start = row.find(marker);
    if (start == AnsiString::npos)
        return "";
    const size_t from = start + AnsiString(marker).size();
    const size_t end = row.find(nextMarker, from);
    if (end == AnsiString::npos)
        return "";
    return Trim(row.substr(from, end - from));
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
    HttpCli1->OnDocBegin = Method(this, &THighScoreForm::HttpCli1DocBegin);
    HttpCli1->OnDocEnd = Method(this, &THighScoreForm::HttpCli1DocEnd);
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
    Button2->OnClick = Method(this, &THighScoreForm::Button2Click);

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
    QueuedNames = new TStringList;
    Page = new TStringList;
}

void THighScoreForm::FormDestroy(TObject*) {
    ClearScores(LocalScores);
    delete LocalScores;
    ClearScores(OnlineScores);
    delete OnlineScores;
    delete QueuedNames;
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
    MainWindow()->Game->SetSetting(GameSetting::HighScores, text);
}

void THighScoreForm::LoadScores() {
    ClearScores(LocalScores);
    for (auto& score : ScoresFromText(MainWindow()->Game->GetSetting(GameSetting::HighScores)))
        LocalScores->Add(score.release());
    LocalScores->Sort(CompareScores);
    ShowScores();
}

void THighScoreForm::Button3Click(TObject*) {
    Application->HelpJump(TMyLanguages::GermanTexts() ? "IDH_Spiel_Modi"
                                                      : "IDH_Bedienung_von_Korvel");
}

// ---- The online exchange ----

// Fetches the online table once per run (only a failed fetch may be tried
// again), reports the usage data and posts the local results good enough
// for the online table that were not posted before.
void THighScoreForm::Button2Click(TObject*) {
    if (!UserAgrees())
        return;
    // The exchange lets messages run while it waits: a second click then
    // must not start it again.
    Button2->Enabled = false;
    CheckForUpdateOnce();
    if (Page->Count == 0) {
        if (!FetchPage()) {
            Tell(LanguageText(269) + ".", 276, MB_ICONSTOP);
            Button2->Enabled = true;
            return;
        }
        CompareWithPage();
    }
    ShowScores();
}

bool THighScoreForm::UserAgrees() {
    if (Application->MessageBox(LanguageText(259), LanguageText(258), MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        return true;
    Tell(LanguageText(257), 43, MB_ICONSTOP);
    return false;
}

void THighScoreForm::CheckForUpdateOnce() {
    VellGameControl& game = *MainWindow()->Game;
    if (game.GetSetting(GameSetting::OnlineHighScores) == UpdatesRefused ||
        game.UpdateCheckDeclined != 0)
        return;
    if (CheckForUpdate(1, 2) == NeverTellAgain) {
        game.UpdateCheckDeclined = 1;
        game.SetSetting(GameSetting::OnlineHighScores, UpdatesRefused);
    }
}

// The page is asked for twice; the second reply is the one read.
bool THighScoreForm::FetchPage() {
    const AnsiString address = GetWebServerAddress() + "/korvel/highscores.html";
    try {
        Page->Clear();
        HttpCli1->URL = address;
        HttpCli1->Proxy = "";
        HttpCli1->ProxyPort = "";
        NMHTTP1->Get(address);
        NMHTTP1->Get(address);
        Page->Text = NMHTTP1->Body();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// A short table stays covered by the introduction and is not acted on.
void THighScoreForm::CompareWithPage() {
    if (ReadOnlineRows() < TableSize) {
        Tell(LanguageText(500), 501, MB_ICONSTOP);
        return;
    }
    MainWindow()->SendIData();
    Panel4->SendToBack();
    Button2->Visible = false;
    ShowScores();
    PostQualifyingScores();
}

// The first ten rows that can be read, from line 1 on. The version block
// reads the same at every line of the walk, so it is read once.
int THighScoreForm::ReadOnlineRows() {
    if (Page->Count > 1)
        ParseLatestVersion(Page);
    int rowsFound = 0;
    int line = 0;
    while (rowsFound < TableSize && line < Page->Count - 1) {
        ++line;
        if (IsRow(Page->Strings[line]) && ReadRow(line))
            ++rowsFound;
    }
    return rowsFound;
}

// The row's cells lose their tags, in the page as well; a row whose stage
// or score is no number is not read.
bool THighScoreForm::ReadRow(int line) {
    AnsiString row = Page->Strings[line];
    for (const char* tag : {"<td>", "</td>", "<TD>", "</TD>"})
        row = ReplaceAll(row, tag, " ");
    Page->Strings[line] = row;
    try {
        const int32_t stage = StrToInt(Field(row, StageMarker, ScoreMarker));
        const int32_t score = StrToInt(Field(row, ScoreMarker, EndMarker));
        InsertScore(Field(row, NameMarker, CountryMarker), stage, score,
                    Field(row, CountryMarker, StageMarker), OnlineScores);
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}

// A version line matches only as a whole, whatever its case.
bool THighScoreForm::ParseLatestVersion(TStringList* page) {
    VellGameControl& game = *MainWindow()->Game;
    const AnsiString version = UpperCase(game.GetSetting(GameSetting::Version));
    int line = 0;
    while (line < page->Count && !Contains(page->Strings[line], "<!--latestversion"))
        ++line;
    for (; line < page->Count; ++line) {
        const AnsiString text = page->Strings[line];
        if (UpperCase(text) == version)
            return false;
        if (Contains(text, "latestversion-->")) {
            if (game.GetSetting(GameSetting::OnlineHighScores) == "0")
                game.SetSetting(GameSetting::OnlineHighScores, "1");
            return true;
        }
    }
    return false;
}

// Each name is offered once, with its best result; a result already in
// "posted.txt" still enters the online table but is not sent again. The
// enter-name dialog asks once, before the first line of the mail.
void THighScoreForm::PostQualifyingScores() {
    TPostedScores posted(*MainWindow()->LogFile);
    const AnsiString postedText = posted.Text();
    AnsiString email;
    AnsiString country;
    TStringList scoreLines;
    for (int i = 0; i < LocalScores->Count; ++i) {
        TScore& score = *ScoreAt(LocalScores, i);
        if (IsNameQueued(QueuedNames, score.Name) || IsScoreOnline(score, OnlineScores) ||
            !EntersOnlineTable(score, OnlineScores))
            continue;
        QueuedNames->Add(score.Name);
        if (Contains(postedText, IntToStr(score.Score)))
            continue;
        if (email.empty()) {
            EnterNameForm = new TEnterNameForm(this);
            EnterNameForm->ShowModal();
            email = EnterNameForm->Edit1->Text;
            country = EnterNameForm->Edit2->Text;
            delete EnterNameForm;
            EnterNameForm = nullptr;
        }
        score.Country = country;
        scoreLines.Add(FormatScoreLine(score));
    }
    if (scoreLines.Count > 0)
        SendScoreMail(posted, email, scoreLines);
}

// "posted.txt" learns the lines only when the mail was taken, so that a
// failed post is offered again. The mail was taken even when no place
// keeps the record (the log says so): the user is told it was sent.
void THighScoreForm::SendScoreMail(TPostedScores& posted, const AnsiString& email,
                                   const TStringList& scoreLines) {
    const AnsiString body = MainWindow()->Game->BuildInfoString() + "\nEMAIL: " + email +
                            "\n------\n" + scoreLines.Text;
    if (SendMailViaWebForm("KorvelHighscore", email, Name, body, "korvelhighscores")) {
        posted.Record(scoreLines.Text);
        Tell(LanguageText(502), 504, MB_ICONEXCLAMATION);
    } else {
        Tell(LanguageText(503), 505, MB_ICONSTOP);
    }
}

bool THighScoreForm::EntersOnlineTable(const TScore& record, TList* list) {
    return InsertScore(record.Name, record.Stage, record.Score, record.Country, list);
}

bool THighScoreForm::IsNameQueued(TStringList* list, const AnsiString& name) {
    for (int i = 0; i < list->Count; ++i)
        if (list->Strings[i]() == name)
            return true;
    return false;
}

bool THighScoreForm::IsScoreOnline(const TScore& record, TList* list) {
    for (int i = 0; i < list->Count; ++i) {
        const TScore& online = *ScoreAt(list, i);
        if (online.Name == record.Name && online.Score == record.Score &&
            online.Stage == record.Stage)
            return true;
    }
    return false;
}

AnsiString THighScoreForm::FormatScoreLine(const TScore& record) {
    return record.Name + " from " + record.Country + ": Stage " + IntToStr(record.Stage) +
           " Score " + IntToStr(record.Score);
}

// The client never sends a request; were it to, the document would be
// received into a file of its name.
void THighScoreForm::HttpCli1DocBegin(TObject*) {
    HttpCli1->ReplyStream = new TFileStream(HttpCli1->DocName, fmCreate);
}

void THighScoreForm::HttpCli1DocEnd(TObject*) {
    delete HttpCli1->ReplyStream;
    HttpCli1->ReplyStream = nullptr;
}
