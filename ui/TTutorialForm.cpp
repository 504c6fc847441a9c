#include "ui/TTutorialForm.h"

#include <iterator>

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"

TTutorialForm* TutorialForm = nullptr;

namespace {

constexpr int WrongPutText = 460;
constexpr int WrongMoveCaption = 461;
constexpr int WrongJumpText = 473;
constexpr int WrongMoveText = 476;
constexpr int LeaveText = 480;
constexpr int LeaveCaption = 481;

struct TutorialPage {
    const char* Position; // the game string set on the board; nullptr: unchanged
    bool Input;
    int Text1;
    int Text2; // 0: empty
};

constexpr TutorialPage Pages[] = {
    {"150000000000000000000000000099", false, 453, 0},
    {"150000000000000000000000000099", false, 482, 483},
    {"150000000000000000000000000099", true, 454, 455},
    {"152220110112000011022000006611", false, 456, 457},
    {"152220110112000011022000006611", true, 459, 0},
    {"152220110112000011022000006612", true, 462, 463}, // only coming back from page 6
    {"112222100110210001221000017700", false, 464, 465},
    {"112222100110210001221000017700", true, 466, 467},
    {"112202001021000000221200003700", false, 469, 470},
    {"112202001021000000221200003700", true, 471, 472},
    {nullptr, false, 474, 475},
};

// White has moved its piece from point 8 to point 9.
const AnsiString ExpectedAfterPage7 = "212222100101210001221000017700";
// White has jumped from point 6 to point 2.
const AnsiString ExpectedAfterPage9 = "212212000021000000221200003700";

VellGameControl* Game() {
    return MainWindow()->Game;
}

AnsiString Text(int number) {
    return number ? TMyLanguages::GetSingleton().GetString(number) : AnsiString();
}

// A page change while the controller executes a move, or while the
// computer chooses one, would let that move land on the new page's
// position, so a button pressed meanwhile does nothing (as it does once
// the program is closing).
bool GameBusy() {
    return !Game() || Game()->IsMoveInProgress();
}

} // namespace

TTutorialForm::TTutorialForm(TComponent* Owner) : TForm(Owner) {
    Name = "TutorialForm";
    Tag = 478;
    Caption = "Tutorial";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biMinimize;
    ClientWidth = 196;
    ClientHeight = 327;
    Position = poDesktopCenter;
    PlaceComponents();
    OnShow = Method(this, &TTutorialForm::FormShow);
    OnCloseQuery = Method(this, &TTutorialForm::FormCloseQuery);
    Loaded();
    RetryPending = false;
    Page = 0;
}

// The controller reaches the tutorial through the global while it runs.
TTutorialForm::~TTutorialForm() {
    if (TutorialForm == this)
        TutorialForm = nullptr;
}

// The two texts one above the other, Back and Next side by side below
// them, the leave button across the bottom.
void TTutorialForm::PlaceComponents() {
    const auto label = [this](TLabel*& text, const char* name, int top, int height) {
        text = new TLabel(this);
        text->Name = name;
        text->Parent = this;
        text->Tag = 478;
        text->AutoSize = false;
        text->WordWrap = true;
        text->SetBounds(8, top, 180, height);
    };
    label(Label1, "Label1", 8, 120);
    label(Label2, "Label2", 136, 120);

    const auto button = [this](TButton*& b, const char* name, int tag, const char* text, int left,
                               int top, int width, void (TTutorialForm::*handler)(TObject*)) {
        b = new TButton(this);
        b->Name = name;
        b->Parent = this;
        b->Tag = tag;
        b->Caption = text;
        b->SetBounds(left, top, width, 25);
        b->OnClick = Method(this, handler);
    };
    button(Button2, "Button2", 451, "< Back", 8, 264, 86, &TTutorialForm::Button2Click);
    button(Button1, "Button1", 450, "Next >", 102, 264, 86, &TTutorialForm::Button1Click);
    button(Button3, "Button3", 452, "Leave Tutorial", 8, 294, 180, &TTutorialForm::Button3Click);
    Button2->Enabled = false;
    Button3->Cancel = true;
}

void TTutorialForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
    ShowTutorialPage(0);
}

void TTutorialForm::ShowTutorialPage(uint8_t page) {
    if (page < std::size(Pages)) {
        const TutorialPage& shown = Pages[page];
        // A page shown afresh has no wrong move waiting, and no move of the
        // page before may still land on its position.
        RetryPending = false;
        Game()->PendingMove = nullptr;
        const bool backFromPage6 = page == 5 && Page == 6;
        if (shown.Position && (page != 5 || backFromPage6))
            Game()->SetGameString(shown.Position);
        // A game that ended on the board of page 2 left the game timer stopped.
        Game()->GameTimer->Enabled = true;
        Game()->EnableGameUI(shown.Input);
        Label1->Caption = Text(shown.Text1);
        Label2->Caption = Text(shown.Text2);
    }
    Page = page;
}

void TTutorialForm::EnableButtons(bool on) {
    Button1->Enabled = on;
    Button2->Enabled = on;
    Button3->Enabled = on;
}

void TTutorialForm::BlinkThreeTimes(const int (&points)[3]) {
    uint8_t mask[PointCount] = {};
    for (const int point : points)
        mask[point] = 1;
    for (int i = 0; i < 3; ++i)
        Game()->BlinkPoints(mask);
}

void TTutorialForm::Button1Click(TObject*) {
    if (GameBusy())
        return;
    EnableButtons(false);
    switch (Page) {
    case 0:
    case 1:
    case 6:
    case 8:
        ShowTutorialPage(Page + 1);
        break;
    case 2:
        Game()->FlashGlow();
        ShowTutorialPage(3);
        break;
    case 3:
        BlinkThreeTimes({0, 1, 2});
        BlinkThreeTimes({1, 9, 17});
        BlinkThreeTimes({8, 14, 15});
        ShowTutorialPage(4);
        break;
    case 4:
        Game()->ApplyScriptedMove(6, -1, 0, Put, White);
        Game()->SetGameState(RemoveState);
        ShowTutorialPage(5);
        break;
    case 5:
        Game()->ApplyScriptedMove(18, 18, 0, Remove, White);
        ShowTutorialPage(6);
        break;
    case 7:
        Game()->ApplyScriptedMove(8, 9, 0, Move, White);
        ShowTutorialPage(8);
        break;
    case 9:
        // A wrong jump still on the board is taken back before the right
        // one is shown.
        if (RetryPending)
            ShowTutorialPage(9);
        Game()->ApplyScriptedMove(6, 2, 0, Jump, White);
        ShowTutorialPage(10);
        break;
    case 10:
        Game()->SetSetting(GameSetting::GameType, "1");
        Game()->SetSetting(GameSetting::TutorialCompleted, "1");
        EndTutorial();
        return;
    default:
        break;
    }
    EnableButtons(true);
}

void TTutorialForm::Button2Click(TObject*) {
    if (GameBusy())
        return;
    Button1->Enabled = true;
    ShowTutorialPage(Page - 1);
    if (Page == 0)
        Button2->Enabled = false;
}

void TTutorialForm::Button3Click(TObject*) {
    if (GameBusy())
        return;
    if (Application->MessageBox(Text(LeaveText), Text(LeaveCaption), MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        EndTutorial();
}

// A close from the window manager asks as the leave button does; only the
// end of the tutorial closes the window, so the game is never left behind
// with a locked board and no tutorial.
void TTutorialForm::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = TutorialForm != this;
    if (!CanClose)
        Button3Click(this);
}

// The window is freed only once this handler has returned: the new match
// runs the player-selection dialog inside it.
void TTutorialForm::EndTutorial() {
    TutorialForm = nullptr;
    Close();
    MainWindow()->StartNewMatch1->Visible = true;
    MainWindow()->UndoLastMove1->Visible = true;
    MainWindow()->DrawGame1->Visible = true;
    MainWindow()->NewGame1->Visible = true;
    Game()->NewMatch();
    Release();
}

void TTutorialForm::RetryPage(int text) {
    Application->MessageBox(Text(text), Text(WrongMoveCaption), MB_ICONEXCLAMATION);
    ShowTutorialPage(Page);
}

// Where a page has no answer of its own, the game goes on on the board of
// page 2 (the computer replies to the user's put), and nobody is asked on
// the pages that keep the board locked, advances included.
bool TTutorialForm::CheckTutorialMove(AnsiString g) {
    switch (Page) {
    case 2:
        return true;
    case 4:
        if (g.size() > 1 && g[1] == '4') { // the Put closed a line: remove next
            ShowTutorialPage(5);
            return true;
        }
        RetryPage(WrongPutText);
        return false;
    case 5:
        ShowTutorialPage(6);
        return false;
    case 7:
        if (g == ExpectedAfterPage7) {
            ShowTutorialPage(8);
            return false;
        }
        RetryPage(WrongMoveText);
        return false;
    case 9:
        if (RetryPending) {
            RetryPending = false;
            RetryPage(WrongJumpText);
            return false;
        }
        if (g == ExpectedAfterPage9) {
            ShowTutorialPage(10);
            return false;
        }
        RetryPending = true;
        return true;
    default:
        return false;
    }
}
