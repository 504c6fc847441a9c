#pragma once
// The game controller: it owns the two seats, the move history, the 100 ms
// game timer, the game's settings table and the board view, and holds the
// game mode, the game state, the side to move and the match counters.
// Players hand their moves to SubmitMove; the next tick of the game timer
// executes them, decides the end of the game and asks the next side.
//
// It is also what the players' turns reach of the game around them
// (PlayerHost): the depth cap, SubmitMove, EnableGameUI, panel 0 of the
// main window's status bar, the language texts and the message loop.
//
// It reaches the windows above it only through GameWindow, which also
// creates the board view, the link and the dialogs it opens.

#include <cstdint>
#include <memory>

#include "game/Board.h"
#include "game/PlayerHost.h"
#include "game/SystemSecondClock.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win32/WinTypes.h"

class BoardView;
class GameLink;
class GameWindow;
class Player;
class PlayerSelection;
class TSettings;

// One executed move; the first entry of every game is the start entry
// (a pass on the initial board, state 5, the side that moves first).
struct HistoryEntry {
    MoveRecord Move;
    BoardRecord Board;  // before the move
    uint8_t GameState;  // before the move
    uint8_t SideToMove; // the colour that made the move
};

// Game modes.
constexpr uint8_t TwoPeopleMode = 0;
constexpr uint8_t ClassicMode = 1;
constexpr uint8_t ArcadeMode = 2;
constexpr uint8_t NetworkMode = 3;
constexpr uint8_t TutorialMode = 4;

// Game states.
constexpr uint8_t MoveState = 1;       // pick a piece to move (or to jump)
constexpr uint8_t MoveTargetState = 2; // a picked piece waits for its target
constexpr uint8_t JumpTargetState = 3; // a picked piece waits for its jump target
constexpr uint8_t RemoveState = 4;
constexpr uint8_t PutState = 5;
constexpr uint8_t NoGameState = 6; // no game, or the game is over

// Game-over reasons.
constexpr uint8_t ReasonGivenUp = 0;
constexpr uint8_t ReasonDraw = 1;
constexpr uint8_t ReasonNoLegalMove = 2;
constexpr uint8_t ReasonTooFewPieces = 3;
constexpr uint8_t ReasonArcadeClock = 5;

// Numbers of the settings table.
namespace GameSetting {
constexpr int Version = 0;
constexpr int Player1Name = 5;
constexpr int Player2Name = 6;
constexpr int GameType = 7;
constexpr int MatchLength = 8;
constexpr int Difficulty = 10;
constexpr int SurveyState = 11;
constexpr int HighlightMoves = 16;
constexpr int MusicOn = 17;
constexpr int SongNumber = 18;
constexpr int HighScores = 19;
constexpr int WindowWidth = 20;
constexpr int WindowHeight = 21;
constexpr int GraphicsSet = 22;
constexpr int StartCounter = 23;
constexpr int SoundOn = 24;
constexpr int MailingListItem = 25;
constexpr int OnlineHighScores = 26;
constexpr int TutorialCompleted = 28;
constexpr int Count = 29;
} // namespace GameSetting

// "0" or "1".
AnsiString BoolToSettingString(bool value);

// The arcade: a stage won adds ten points for every piece kept, and the
// seconds of the next stage's bonus time to the clock.
constexpr int32_t PointsPerPiece = 10;
int32_t StageBonusSeconds(int32_t stage);

class VellGameControl final : public PlayerHost {
public:
    // Builds the settings, the board view on the form, the stopped game
    // timer, the history and a fresh game, and starts the music when it
    // is on.
    explicit VellGameControl(GameWindow* form);
    // Frees both seats, the game timer, the history and the board view.
    ~VellGameControl();
    VellGameControl(const VellGameControl&) = delete;
    VellGameControl& operator=(const VellGameControl&) = delete;

    // A fresh game: the initial board, only the start entry in the
    // history, state 6, the side chosen by who starts.
    void NewGame();

    // Stores the move for the next tick; `send`: made on this machine.
    void SubmitMove(const MoveRecord& move, bool send) override;
    // The 100 ms tick: executes the pending move and asks the next side.
    void OnGameTimer(TObject* Sender);
    // Asks the side to move for its move by the game state.
    void AskNextPlayer();
    // A move is being executed, or a side is being asked for one (the
    // computer may be searching).
    bool IsMoveInProgress();
    // A game command of the menu (surrender, a new match, a draw, undo)
    // acts only from the main loop: inside a nested loop a turn, a move or
    // a box of the game may still be running below it, so it does nothing.
    bool AcceptsGameCommand();
    // Network game: the colour that makes this game's first move is played
    // on this machine.
    bool LocalSideStarts();
    // Network game: the pending move goes to the partner.
    void SendPendingMove();
    // Network game: tells the partner that this side gave the game up.
    void SendStartLine();
    // The colour whose move the game waits for: the side asked last, while
    // no move waits for the next tick; 0 when nobody's is awaited.
    uint8_t SideAsked();

    // `winner` 0 for none.
    void GameOver(uint8_t reason, uint8_t winner);
    void DrawGame();
    void UndoLastMove();

    // Asks the player-selection dialog what to play and builds the seats.
    void NewMatch();
    // Starts the next game of the match; the first is begun by colour 1.
    void StartNextGame();

    Player* PlayerByColour(uint8_t colour);
    AnsiString PlayerNameByColour(uint8_t colour);
    uint8_t HumanColour();
    bool IsAtGameStart();
    uint8_t GetGameState();
    void SetGameState(uint8_t state);
    uint8_t GetSideToMove();
    bool IsGameUIEnabled();
    void EnableGameUI(bool on) override;
    void SetGraphicsLibrary(HMODULE pack);

    // Forwarders to the board view.
    void RedrawAll();
    void BlinkPoints(const uint8_t mask[PointCount]);
    void FlashGlow();
    // The board view performs the move with its animation, then the board
    // is drawn as the move left it; history and side to move stay.
    void ApplyScriptedMove(int32_t a, int32_t b, int32_t c, uint8_t kind, uint8_t side);
    // The high-score window with the local table, modally; the arcade
    // clock goes on meanwhile.
    void ShowHighScores();

    // The settings table.
    void CreateSettings();
    // The value of a fresh installation.
    static AnsiString DefaultSetting(int index);
    // "0" past the end of the table.
    AnsiString GetSetting(int index);
    void SetSetting(int index, const AnsiString& value);
    void SetHighlightMoves(bool on);
    bool GetHighlightMoves();
    void SetMusicOn(bool on);
    bool GetMusicOn();
    void SetSoundOn(bool on);
    bool GetSoundOn();
    void SetSongNumber(int number);
    int GetSongNumber();
    // Plays a move sound; switches sound off when the board view cannot.
    void CheckSoundAvailable();
    // Version, colour depth, screen size and graphics set, for the
    // high-score mail.
    AnsiString BuildInfoString();
    // The next of the nine songs, when music is on; a song that cannot be
    // played switches music off.
    void PlayNextSong();

    // Side to move, game state and the board's BoardStatusString.
    AnsiString GetGameString();
    // False, with nothing changed, for a text of another length, a side
    // other than 1 or 2 or a point digit above 2; a character that is not
    // a decimal digit raises EConvertError, also with nothing changed.
    bool SetGameString(const AnsiString& text);
    // The game string as the one line of the file (replacing it).
    void SaveGame(const AnsiString& fileName);
    // Reads the game string from the file's first line; false when it is
    // refused. A file that cannot be read, is empty or holds no game
    // string raises EInOutError with a message that names the file.
    bool LoadGame(const AnsiString& fileName);

    // What a player's turn reaches (PlayerHost).
    int GetDepthCap() override { return DepthCap; }
    void SetDepthCap(int cap) override { DepthCap = cap; }
    bool GetWhoStarts() override { return WhoStarts != 0; }
    AnsiString GetStatusText() override;
    void SetStatusText(const AnsiString& text) override;
    AnsiString GetString(int id) override;
    int MessageBox(const AnsiString& text, const AnsiString& caption, unsigned flags) override;
    void ProcessMessages() override;
    // The program is closing: a running search stops.
    bool TurnCancelled() override;
    WholeSecondClock& Clock() override { return SearchClock; }

    // Fields, in order.
    uint8_t ReplayFlag = 0;             // same choices again: no dialog
    uint8_t FirstMatch = 0;             // the first NewMatch asks nothing
    uint8_t PendingMoveIsLocal = 0;     // the pending move was made here
    std::unique_ptr<Player> SecondSeat; // colour 2
    std::unique_ptr<Player> FirstSeat;  // colour 1
    GameWindow* MainForm = nullptr;
    TList* History = nullptr; // HistoryEntry*, oldest first; owned
    int32_t Wins2 = 0;
    int32_t Wins1 = 0;
    int32_t MatchLength = 0; // best of that many
    int32_t DrawMoveLimit = 0;
    int32_t UndoCount = 0; // undos taken in this game
    uint8_t ArcadeLost = 0;
    uint8_t GameUIEnabled = 0;
    std::unique_ptr<MoveRecord> PendingMove; // null when none
    uint8_t NetworkGame = 0;
    std::unique_ptr<TSettings> Settings;
    int32_t TickCounter = 0;
    GameLink* Link = nullptr; // the network link; none in the other modes
    TTimer* GameTimer = nullptr;
    uint8_t PartnerReady = 0;
    int32_t MovesWithoutPutOrRemove = 0; // the draw counter
    int32_t ArcadeScore = 0;
    int32_t ArcadeSecondsLeft = 0;
    int32_t ArcadePiecesBonus = 0;
    int32_t ArcadeStage = 0;
    int32_t DepthCap = 30000; // 30000: no limit
    uint8_t GameMode = 0;
    uint8_t GameState = 0;
    uint8_t SideToMove = 0;
    BoardView* Engine = nullptr; // a component of the main form
    uint8_t WhoStarts = 0;       // 1: colour 1 makes the first move of this game
    uint8_t MatchOver = 0;       // the next tick starts a new match
    uint8_t UpdateCheckDeclined = 0;

    // The history's entries.
    HistoryEntry* Entry(int index);

private:
    void PushHistory(const MoveRecord& move, const BoardRecord& board, uint8_t state, uint8_t side);
    void ClearHistory();
    // True when the move ended the game by an agreed draw.
    bool CountDrawMoves(const MoveRecord& move);
    // The colour that wins because the other has fewer than three pieces.
    static uint8_t WinnerByPieces(const BoardRecord& board);
    void ChooseNextState(const MoveRecord& move, const BoardRecord& board);
    void AskSeat(Player& seat);
    void GlowEmptyPoints();
    void ShowGameOverMessage(uint8_t reason, uint8_t winner);
    void CountWin(uint8_t winner);
    void DecideMatch();
    int UndoTarget();
    void ResetMatch();
    bool BuildSeatsFromDialog();
    void BuildTwoPeopleSeats();
    void BuildClassicSeats();
    // False when no connection was made.
    bool BuildNetworkSeats();
    void BuildTutorialSeats();
    // The tutorial window beside the main window's left edge, below its
    // top.
    void OpenTutorial();
    void FreeLink();
    int ChosenDifficulty();
    void FreePlayerSelection();
    void OfferOnlineServices();
    void SetStatusPanel(int index, const AnsiString& text);
    void PlaySong(int song);

    // The arcade.
    void BuildArcadeSeats();
    // False when the clock ran out, which has ended the game.
    bool RunArcadeClock();
    void ShowTimeIsUp();
    void CountArcadeResult(uint8_t winner);
    // The score, the clock and the computer of the next stage; false when
    // the arcade was lost and a new match has taken its place.
    bool StartArcadeStage();
    // The result into the local high-score table, or why it does not go.
    void EndArcadeMatch();
    void AdvanceStage();
    void StrengthenComputer();

    // The game timer's interval, but while the non-starting side of a
    // network game polls for the first move.
    static constexpr unsigned TickInterval = 100;

    SystemSecondClock SearchClock;
    // The player-selection dialog while NewMatch asks it.
    PlayerSelection* PlayerSelectionForm = nullptr;
    // The colour asked last for its move (SideAsked).
    uint8_t AskedSide = 0;
    // The arcade clock has shown 0 for a whole second inside a nested loop:
    // the stage is lost at the first tick back in the main loop.
    bool ArcadeTimeUp = false;
    // Starting a game and asking a side let messages through with the game
    // timer running; a tick that came then would end the match or execute
    // a move under the player still taking its turn, so ticks wait.
    bool TicksHeld = false;
    class HoldTicks {
    public:
        explicit HoldTicks(bool& held) : held_(held), outer_(held) { held_ = true; }
        ~HoldTicks() { held_ = outer_; }
        HoldTicks(const HoldTicks&) = delete;
        HoldTicks& operator=(const HoldTicks&) = delete;

    private:
        bool& held_;
        bool outer_;
    };
};
