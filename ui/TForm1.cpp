#include "ui/TForm1.h"

#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/TLogFile.h"
#include "myunits/Utils.h"
#include "net/TVellChatForm.h"
#include "online/TIData.h"
#include "online/TRecommendForm.h"
#include "online/TSubscribeNewsletterForm.h"
#include "online/Unit1.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/win32/Resources.h"
#include "platform/win32/ShellApi.h"
#include "platform/win32/WinGdi.h"
#include "ui/GFXEngine.h"
#include "ui/MenuImages.h"
#include "ui/TAdvanceStageForm.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"
#include "ui/TSurrenderForm.h"
#include "ui/TTutorialForm.h"
#include "web/HTTPConnector.h"

TForm1* Form1 = nullptr;

namespace {

// The image list's pictures, which the form resource carries with it.
void LoadMenuImages(TImageList* images) {
    TMemoryStream stream;
    stream.WriteBuffer(OtherGameImage, OtherGameImageSize);
    stream.Position = 0;
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    images->Add(&bitmap, nullptr);
}

} // namespace

TForm1::TForm1(TComponent* Owner) : GameWindow(Owner) {
    Name = "Form1";
    Caption = "Korvel";
    Color = clBlack;
    CreateMenu();
    Menu = MainMenu1;
    Width = 640;
    Height = 480;
    Constraints->MinWidth = 640;
    Constraints->MinHeight = 480;
    Position = poScreenCenter;
    CreateStatusBar();
    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->Name = "MediaPlayer1";
    MediaPlayer1->OnNotify = Method(this, &TForm1::MediaPlayer1Notify);
    OnShow = Method(this, &TForm1::FormShow);
    OnPaint = Method(this, &TForm1::FormPaint);
    OnResize = Method(this, &TForm1::FormResize);
    OnCloseQuery = Method(this, &TForm1::FormCloseQuery);
    OnClose = Method(this, &TForm1::FormClose);
    Loaded();

    Languages = nullptr;
    Game = nullptr;
    GraphicsLibrary = nullptr;
    CloseRequested = false;
    AppDir = "";
    LogFile = new TLogFile();
    BlowFish = new TGlobalBlowFish();
    IData = new TIData(GetWebServerAddress() + "/cgi-bin/ID.pl",
                       AnsiString("software\\Hemlow\\rq8") + "\\idata", "kvl");
    AppDir = GetProgramDir();
}

// A form that is freed without having been closed still lets its services
// go, so that none outlives the window.
TForm1::~TForm1() {
    FreeServices();
}

// The menu bar of the form resource: items with their Tags (the language
// texts that replace the design captions) and handlers. The controller
// shows the draw offer; the survey's item stays hidden. The mailing-list
// item is shown at start-up by the settings.
void TForm1::CreateMenu() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = "MainMenu1";
    ImageList1 = new TImageList(this);
    ImageList1->Name = "ImageList1";
    LoadMenuImages(ImageList1);
    MainMenu1->Images = ImageList1;

    const auto item = [this](TMenuItem*& menuItem, TMenuItem* parent, const char* name, int tag,
                             const char* caption, void (TForm1::*handler)(TObject*)) {
        menuItem = new TMenuItem(this);
        menuItem->Name = name;
        menuItem->Tag = tag;
        menuItem->Caption = caption;
        if (handler)
            menuItem->OnClick = Method(this, handler);
        if (parent)
            parent->Add(menuItem);
        else
            MainMenu1->Items->Add(menuItem);
    };
    item(Game1, nullptr, "Game1", 0, "&Game", nullptr);
    item(UndoLastMove1, Game1, "UndoLastMove1", 3, "&Undo Last Move", &TForm1::UndoLastMove1Click);
    item(ShowHighscores1, Game1, "ShowHighscores1", 2, "Show &Highscores",
         &TForm1::ShowHighscores1Click);
    item(DrawGame1, Game1, "DrawGame1", 4, "&Offer Draw Game", &TForm1::DrawGame1Click);
    item(NewGame1, Game1, "NewGame1", 5, "&Surrender Game", &TForm1::NewGame1Click);
    item(StartNewMatch1, Game1, "StartNewMatch1", 6, "Surrender &Match",
         &TForm1::StartNewMatch1Click);
    item(QuitKorvel1, Game1, "QuitKorvel1", 7, "Quit Korvel", &TForm1::QuitKorvel1Click);
    item(Settings1, nullptr, "Settings1", 9, "&Settings", nullptr);
    item(HighlightValidSestinationFields1, Settings1, "HighlightValidSestinationFields1", 10,
         "&Highlight Valid Destination Fields", &TForm1::HighlightValidSestinationFields1Click);
    item(Music1, Settings1, "Music1", 11, "Music On", &TForm1::Music1Click);
    item(SoundOn1, Settings1, "SoundOn1", 17, "Sound On", &TForm1::SoundOn1Click);
    item(DownloadotherVorlaneGames1, nullptr, "DownloadotherVorlaneGames1", 18, "Other Games",
         nullptr);
    item(Tolva1, DownloadotherVorlaneGames1, "Tolva1", 19, "&Tolva+", &TForm1::Tolva1Click);
    item(Help1, nullptr, "Help1", 12, "&Help", nullptr);
    item(Contents1, Help1, "Contents1", 13, "Help &Contents", &TForm1::Contents1Click);
    item(GameRules1, Help1, "GameRules1", 14, "Game &Rules", &TForm1::GameRules1Click);
    item(Enterourmailinglist1, Help1, "Enterourmailinglist1", 580, "Enter our mailing list",
         &TForm1::Enterourmailinglist1Click);
    item(TellAFried1, Help1, "TellAFried1", 21, "Tell A Friend", &TForm1::TellAFried1Click);
    item(FillOutSurveyForm1, Help1, "FillOutSurveyForm1", 1, "&Fill out survey form",
         &TForm1::FillOutSurveyForm1Click);

    Tolva1->ImageIndex = 0;
    DrawGame1->Visible = false;
    FillOutSurveyForm1->Visible = false;
    Enterourmailinglist1->Visible = false;
}

void TForm1::CreateStatusBar() {
    StatusBar1 = new TStatusBar(this);
    StatusBar1->Name = "StatusBar1";
    StatusBar1->Parent = this;
    StatusBar1->SizeGrip = false;
    for (int width : {400, 130, 55}) {
        TStatusPanel* panel = StatusBar1->Panels->Add();
        panel->Width = width;
        panel->Bevel = pbNone;
    }
    StatusBar1->OnResize = Method(this, &TForm1::StatusBar1Resize);
    StatusBar1->OnDrawPanel = [this](TStatusBar* bar, TStatusPanel* panel, const TRect& rect) {
        StatusBar1DrawPanel(bar, panel, rect);
    };
}

// The start-up of the game; the main window is shown once.
void TForm1::FormShow(TObject*) {
    if (shown_)
        return;
    shown_ = true;
    StatusBar1Resize(this);
    const AnsiString languageFile = AppDir + "Languages.rc";
    try {
        Languages = new TMyLanguages(languageFile, true);
    } catch (const std::exception&) {
        // Without its texts the program has nothing to show, and no text to
        // say so in but its own.
        CannotStart("Korvel cannot start: the language file \"" + languageFile +
                        "\" could not be read.",
                    "Korvel");
        return;
    }
    Application->Title = Languages->GetString(207);
    Application->HelpFile = AppDir + (TMyLanguages::GermanTexts() ? "Hilfe.hlp" : "Korvel.hlp");
    if (ScreenColourDepth() == 8)
        WarnAboutColourDepth();
    const AnsiString pack = AppDir + "gfx0.dll";
    GraphicsLibrary = LoadLibraryA(pack.c_str());
    Game = new VellGameControl(this);
    try {
        Game->SetGraphicsLibrary(GraphicsLibrary);
    } catch (const Exception&) {
        // Without a board there is no game.
        CannotStart(Languages->GetString(42) + " " + pack, Languages->GetString(207));
        return;
    }
    RestoreWindowSize();
    Game->MatchOver = 1;
    Game->GameTimer->Enabled = true;
    SetMenuChecks();
    Enterourmailinglist1->Visible = Game->Settings->GetInt(GameSetting::MailingListItem) != 0;
    UpdateCaption();
}

void TForm1::CannotStart(const AnsiString& text, const AnsiString& caption) {
    Application->MessageBox(text, caption, MB_ICONSTOP);
    Application->Terminate();
}

void TForm1::WarnAboutColourDepth() {
    if (Application->MessageBox(Languages->GetString(40), Languages->GetString(41),
                                MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        Application->HelpJump(TMyLanguages::GermanTexts() ? "IDH_Color-german" : "IDH_Color");
}

void TForm1::RestoreWindowSize() {
    SetBounds(Left, Top, Game->Settings->GetInt(GameSetting::WindowWidth),
              Game->Settings->GetInt(GameSetting::WindowHeight));
}

void TForm1::SetMenuChecks() {
    HighlightValidSestinationFields1->Checked = Game->GetHighlightMoves();
    Music1->Checked = Game->GetMusicOn();
    SoundOn1->Checked = Game->GetSoundOn();
}

void TForm1::UpdateCaption() {
    Languages->WriteCaption(this);
    Caption = Languages->GetString(30) + " " + Game->GetSetting(GameSetting::Version);
}

int TForm1::ScreenColourDepth() {
    return GetDeviceCaps(Canvas->Handle, BITSPIXEL) * GetDeviceCaps(Canvas->Handle, PLANES);
}

void TForm1::PlayMoveSound() {
    Game->CheckSoundAvailable();
}

void TForm1::FormPaint(TObject*) {
    if (Game)
        Game->RedrawAll();
}

void TForm1::FormResize(TObject*) {
    if (!Visible || !Game)
        return;
    if (Screen->Width < Width)
        Width = Screen->Width;
    if (Screen->Height < Height)
        Height = Screen->Height;
    Game->SetSetting(GameSetting::WindowWidth, IntToStr(Width));
    Game->SetSetting(GameSetting::WindowHeight, IntToStr(Height));
    FormPaint(this);
}

// Inside a nested loop (the computer thinks, a move animates, a box is
// open) the handler below still uses the game: the close is kept, the
// search stops at its next look at the messages, and the window closes as
// soon as control is back in the main loop.
void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
    const bool firstRequest = !CloseRequested;
    CloseRequested = true;
    CanClose = !InNestedLoop();
    if (!CanClose && firstRequest)
        WhenBackInMainLoop([this] { Close(); });
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    if (MediaPlayer1->Mode != mpNotReady)
        MediaPlayer1->Close();
    FreeServices();
}

// The controller first (its players, its timer), then the usage data, the
// log, the language texts and the cipher.
void TForm1::FreeServices() {
    delete Game;
    Game = nullptr;
    delete IData;
    IData = nullptr;
    delete LogFile;
    LogFile = nullptr;
    delete Languages;
    Languages = nullptr;
    delete BlowFish;
    BlowFish = nullptr;
}

void TForm1::StatusBar1Resize(TObject*) {
    const int width = ClientWidth;
    StatusBar1->Panels->Items[0]->Width = static_cast<int>(width * 0.55);
    StatusBar1->Panels->Items[1]->Width = static_cast<int>(width * 0.25);
    StatusBar1->Panels->Items[2]->Width = static_cast<int>(width * 0.20);
}

void TForm1::StatusBar1DrawPanel(TStatusBar*, TStatusPanel*, const TRect&) {}

void TForm1::MediaPlayer1Notify(TObject*) {
    if (Game)
        Game->PlayNextSong();
}

void TForm1::UndoLastMove1Click(TObject*) {
    if (Game->AcceptsGameCommand() && Game->IsGameUIEnabled())
        Game->UndoLastMove();
}

void TForm1::ShowHighscores1Click(TObject*) {
    Game->ShowHighScores();
}

void TForm1::DrawGame1Click(TObject*) {
    if (Game->AcceptsGameCommand())
        Game->DrawGame();
}

void TForm1::NewGame1Click(TObject*) {
    if (!Game->AcceptsGameCommand())
        return;
    if (Game->GameMode == ClassicMode)
        Game->GameOver(ReasonGivenUp, 2);
    else if (Game->GameMode == TwoPeopleMode)
        SurrenderTwoPersonGame();
    else if (Game->GameMode == NetworkMode)
        SurrenderNetworkGame();
}

void TForm1::SurrenderNetworkGame() {
    Game->GameOver(ReasonGivenUp, OtherColour(Game->HumanColour()));
    Game->SendStartLine();
}

// The checked name is the side that gives up.
void TForm1::SurrenderTwoPersonGame() {
    SurrenderForm = new TSurrenderForm(this);
    SurrenderForm->RadioButton1->Caption = Game->PlayerNameByColour(1);
    SurrenderForm->RadioButton2->Caption = Game->PlayerNameByColour(2);
    const int result = SurrenderForm->ShowModal();
    const bool firstGivesUp = SurrenderForm->RadioButton1->Checked;
    delete SurrenderForm;
    SurrenderForm = nullptr;
    // The program may have been asked to close while the dialog was open.
    if (result == mrOk && !CloseRequested)
        Game->GameOver(ReasonGivenUp, firstGivesUp ? 2 : 1);
}

void TForm1::StartNewMatch1Click(TObject*) {
    if (Game->AcceptsGameCommand() &&
        Application->MessageBox(Languages->GetString(44), Languages->GetString(45),
                                MB_YESNO | MB_TASKMODAL) == IDYES)
        Game->MatchOver = 1;
}

void TForm1::QuitKorvel1Click(TObject*) {
    Close();
}

void TForm1::HighlightValidSestinationFields1Click(TObject*) {
    Game->SetHighlightMoves(!Game->GetHighlightMoves());
}

void TForm1::Music1Click(TObject*) {
    if (!Game->GetMusicOn()) {
        Game->SetMusicOn(true);
        Game->PlayNextSong();
    } else {
        Game->SetMusicOn(false);
        MediaPlayer1->Stop();
        MediaPlayer1->Close();
    }
}

void TForm1::SoundOn1Click(TObject*) {
    SoundOn1->Checked = !SoundOn1->Checked;
    Game->SetSoundOn(SoundOn1->Checked);
}

void TForm1::Tolva1Click(TObject*) {
    ShellExecuteA(Handle, "open", GetOtherGameAddress(TMyLanguages::GermanTexts()).c_str(), nullptr,
                  nullptr, SW_SHOWDEFAULT);
}

void TForm1::Contents1Click(TObject*) {
    if (TMyLanguages::GermanTexts())
        Application->HelpJump("IDH_Inhaltverzeichnis-german");
    else
        Application->HelpCommand(HELP_CONTENTS, 0);
}

void TForm1::GameRules1Click(TObject*) {
    Application->HelpJump(TMyLanguages::GermanTexts() ? "IDH_Spielregeln-german"
                                                      : "IDH_Spielregeln");
}

void TForm1::Enterourmailinglist1Click(TObject*) {
    ShowNewsletterOffer(true);
}

void TForm1::TellAFried1Click(TObject*) {
    ShowRecommendOffer(true);
}

// The game waits while the survey is open.
void TForm1::FillOutSurveyForm1Click(TObject*) {
    Game->GameTimer->Enabled = false;
    SurveyForm = new TSurveyForm(this);
    SurveyForm->Visible = false;
    SurveyForm->ShowModal();
    delete SurveyForm;
    SurveyForm = nullptr;
    Game->GameTimer->Enabled = true;
}

// ---- What the game reaches of the main window ----

void TForm1::StartPlayTimer() {
    IData->StartPlayTimer();
}

void TForm1::SendIData() {
    IData->SendIData();
}

BoardView* TForm1::CreateBoardView(VellGameControl* game) {
    return new GFXEngine(this, game);
}

GameLink* TForm1::CreateLink() {
    return new TVellChatForm(nullptr);
}

PlayerSelection* TForm1::CreatePlayerSelection() {
    return new TPlayerSelectionForm(this);
}

TForm* TForm1::CreateTutorial() {
    TutorialForm = new TTutorialForm(this);
    return TutorialForm;
}

bool TForm1::CheckTutorialMove(const AnsiString& gameString) {
    return TutorialForm && TutorialForm->CheckTutorialMove(gameString);
}

void TForm1::ShowAdvanceStage() {
    AdvanceStageForm = new TAdvanceStageForm(this);
    AdvanceStageForm->ShowModal();
    delete AdvanceStageForm;
    AdvanceStageForm = nullptr;
}

bool TForm1::SurveyShown() {
    return SurveyForm != nullptr;
}

void TForm1::ShowHighScores() {
    HighScoreForm->LoadScores();
    HighScoreForm->ShowModal();
}

bool TForm1::EnterLocalScore(const AnsiString& name, int stage, int score) {
    HighScoreForm->LoadScores();
    HighScoreForm->Visible = false;
    if (!HighScoreForm->InsertScore(name, stage, score, "", HighScoreForm->LocalScores))
        return false;
    HighScoreForm->SaveScores();
    HighScoreForm->ShowModal();
    return true;
}

TNMHTTP* TForm1::HighScoreHTTP() {
    return HighScoreForm->NMHTTP1;
}

void TForm1::ShowNewsletterOffer(bool forced) {
    ::ShowNewsletterOffer(forced);
}

void TForm1::ShowRecommendOffer(bool forced) {
    ::ShowRecommendOffer(forced);
}
