#pragma once
// The main window: it owns the process-wide services (log, cipher, usage
// data, language texts), the graphics pack and the game controller, carries the menu bar,
// the status bar and the invisible music player, and forwards every menu
// command to the controller or to a dialog. The board view is a child
// control that the controller creates on this form.

#include "platform/media/MPlayer.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/win32/WinTypes.h"

class TMyLanguages;
class TGlobalBlowFish;
class TLogFile;
class TIData;
class VellGameControl;

class TForm1 : public TForm {
public:
    // Components of the form resource, in declaration order.
    TMainMenu* MainMenu1;
    TMenuItem* Game1;
    TMenuItem* UndoLastMove1;
    TMenuItem* ShowHighscores1;
    TMenuItem* DrawGame1;
    TMenuItem* NewGame1;
    TMenuItem* StartNewMatch1;
    TMenuItem* QuitKorvel1;
    TMenuItem* Settings1;
    TMenuItem* HighlightValidSestinationFields1;
    TMenuItem* Music1;
    TMenuItem* SoundOn1;
    TMenuItem* DownloadotherVorlaneGames1;
    TMenuItem* Tolva1;
    TMenuItem* Help1;
    TMenuItem* Contents1;
    TMenuItem* GameRules1;
    TMenuItem* Enterourmailinglist1;
    TMenuItem* TellAFried1;
    TMenuItem* FillOutSurveyForm1;
    TStatusBar* StatusBar1;
    TMediaPlayer* MediaPlayer1;
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

    // Fields of its own, in order.
    TMyLanguages* Languages; // created at first show
    TGlobalBlowFish* BlowFish;
    TLogFile* LogFile;
    TIData* IData; // usage data
    bool CloseRequested;
    HINSTANCE GraphicsLibrary; // the loaded graphics pack
    AnsiString AppDir;         // the program folder, ending with "/"
    VellGameControl* Game;     // created at first show

    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    // Captions the whole form from the language texts, and the window
    // caption from text 30 and the version text.
    void UpdateCaption();
    // Bits per pixel times colour planes of the form canvas's device.
    int ScreenColourDepth();
    // A move sound through the controller, which switches sound off when
    // the board view cannot play one.
    void PlayMoveSound();

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
