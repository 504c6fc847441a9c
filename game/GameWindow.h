#pragma once
// The main window as the game below it sees it: the menu items, the status
// bar and the music player that the game switches, the services the main
// window owns, and the windows it opens for the controller. The controller,
// the board view, the dialogs, the link and the online forms reach the main
// window only through this; the main window of the program (ui/TForm1)
// implements it, and it is the object Form1 points to.

#include "platform/media/MPlayer.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/win32/WinTypes.h"

class BoardView;
class GameLink;
class PlayerSelection;
class TNMHTTP;
class TLogFile;
class TMyLanguages;
class VellGameControl;

class GameWindow : public TForm {
public:
    explicit GameWindow(TComponent* Owner);
    ~GameWindow() override;

    // Components of the main window that the game changes.
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* UndoLastMove1 = nullptr;
    TMenuItem* DrawGame1 = nullptr;
    TMenuItem* NewGame1 = nullptr;
    TMenuItem* StartNewMatch1 = nullptr;
    TMenuItem* HighlightValidSestinationFields1 = nullptr;
    TMenuItem* Music1 = nullptr;
    TMenuItem* SoundOn1 = nullptr;
    TMenuItem* FillOutSurveyForm1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TMediaPlayer* MediaPlayer1 = nullptr;

    // The main window's own fields that the game reads.
    TMyLanguages* Languages = nullptr; // created at first show
    TLogFile* LogFile = nullptr;
    bool CloseRequested = false;
    HINSTANCE GraphicsLibrary = nullptr; // the loaded graphics pack
    AnsiString AppDir;                   // the program folder, ending with "/"
    VellGameControl* Game = nullptr;     // created at first show

    // Bits per pixel times colour planes of the window's device.
    virtual int ScreenColourDepth() = 0;
    // A move sound through the controller.
    virtual void PlayMoveSound() = 0;
    // The usage data: play time counts from now on; and the data is sent.
    virtual void StartPlayTimer() = 0;
    virtual void SendIData() = 0;

    // The windows the controller creates and frees.
    virtual BoardView* CreateBoardView(VellGameControl* game) = 0;
    virtual GameLink* CreateLink() = 0;
    // Hidden, owned by this window.
    virtual PlayerSelection* CreatePlayerSelection() = 0;
    // The tutorial window, not yet shown; it frees itself when closed.
    virtual TForm* CreateTutorial() = 0;
    // The tutorial lets the side to move be asked in this position; false
    // once its window has closed.
    virtual bool CheckTutorialMove(const AnsiString& gameString) = 0;
    // The arcade's stage summary, modally.
    virtual void ShowAdvanceStage() = 0;
    // The survey window is open: the game's tick waits.
    virtual bool SurveyShown() = 0;

    // The high-score window with the local table, modally.
    virtual void ShowHighScores() = 0;
    // The arcade's result into the local table; when it makes the table it
    // is saved and the window shows it. False when it does not.
    virtual bool EnterLocalScore(const AnsiString& name, int stage, int score) = 0;

    // The high-score window's HTTP client, which the survey posts through.
    virtual TNMHTTP* HighScoreHTTP() = 0;

    // The offers of the online services, each deciding whether it shows.
    virtual void ShowNewsletterOffer(bool forced) = 0;
    virtual void ShowRecommendOffer(bool forced) = 0;
};

// The program's main window while it exists, else null.
GameWindow* MainWindow();
