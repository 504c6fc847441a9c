#pragma once
// The main window: it owns the process-wide services (log, cipher, usage
// data, language texts), the graphics pack and the game controller, carries the menu bar,
// the status bar and the invisible music player, and forwards every menu
// command to the controller or to a dialog. The board view is a child
// control that the controller has this form create.
//
// It sits above every other window: what the controller, the board view,
// the dialogs, the link and the online forms reach of it is GameWindow,
// which it implements by creating and opening those windows.

#include "game/GameWindow.h"
#include "platform/vcl/ImgList.h"

class TGlobalBlowFish;
class TIData;

class TForm1 : public GameWindow {
public:
    // Components of the form resource, in declaration order; those the
    // game changes (MainMenu1, UndoLastMove1, DrawGame1, NewGame1,
    // StartNewMatch1, HighlightValidSestinationFields1, Music1, SoundOn1,
    // FillOutSurveyForm1, StatusBar1, MediaPlayer1) are GameWindow's.
    TMenuItem* Game1;
    TMenuItem* ShowHighscores1;
    TMenuItem* QuitKorvel1;
    TMenuItem* Settings1;
    TMenuItem* DownloadotherVorlaneGames1;
    TMenuItem* Tolva1;
    TMenuItem* Help1;
    TMenuItem* Contents1;
    TMenuItem* GameRules1;
    TMenuItem* Enterourmailinglist1;
    TMenuItem* TellAFried1;
    TImageList* ImageList1;

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void FormPaint(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void StatusBar1Resize(TObject* Sender);
    void StatusBar1DrawPanel(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect);
    void MediaPlayer1Notify(TObject* Sender);
    void UndoLastMove1Click(TObject* Sender);
    void ShowHighscores1Click(TObject* Sender);
    void DrawGame1Click(TObject* Sender);
    void NewGame1Click(TObject* Sender);
    void StartNewMatch1Click(TObject* Sender);
    void QuitKorvel1Click(TObject* Sender);
    void HighlightValidSestinationFields1Click(TObject* Sender);
    void Music1Click(TObject* Sender);
    void SoundOn1Click(TObject* Sender);
    void Tolva1Click(TObject* Sender);
    void Contents1Click(TObject* Sender);
    void GameRules1Click(TObject* Sender);
    void Enterourmailinglist1Click(TObject* Sender);
    void TellAFried1Click(TObject* Sender);
    void FillOutSurveyForm1Click(TObject* Sender);

    // Fields of its own, in order; Languages, LogFile, CloseRequested,
    // GraphicsLibrary, AppDir and Game are GameWindow's.
    TGlobalBlowFish* BlowFish;
    TIData* IData; // usage data

    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    // Captions the whole form from the language texts, and the window
    // caption from text 30 and the version text.
    void UpdateCaption();
    // Bits per pixel times colour planes of the form canvas's device.
    int ScreenColourDepth() override;
    // A move sound through the controller, which switches sound off when
    // the board view cannot play one.
    void PlayMoveSound() override;

    // What the game reaches of the main window.
    void StartPlayTimer() override;
    void SendIData() override;
    BoardView* CreateBoardView(VellGameControl* game) override;
    GameLink* CreateLink() override;
    PlayerSelection* CreatePlayerSelection() override;
    TForm* CreateTutorial() override;
    bool CheckTutorialMove(const AnsiString& gameString) override;
    void ShowAdvanceStage() override;
    bool SurveyShown() override;
    void ShowHighScores() override;
    bool EnterLocalScore(const AnsiString& name, int stage, int score) override;
    TNMHTTP* HighScoreHTTP() override;
    void ShowNewsletterOffer(bool forced) override;
    void ShowRecommendOffer(bool forced) override;

private:
    void CreateMenu();
    void CreateStatusBar();
    void CannotStart(const AnsiString& text, const AnsiString& caption);
    void WarnAboutColourDepth();
    void RestoreWindowSize();
    void SetMenuChecks();
    void SurrenderTwoPersonGame();
    void SurrenderNetworkGame();
    void FreeServices();

    bool shown_ = false;
};

extern TForm1* Form1;
