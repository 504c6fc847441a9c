#include "ui/TAdvanceStageForm.h"

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "platform/win32/Clock.h"

TAdvanceStageForm* AdvanceStageForm = nullptr;

namespace {

constexpr int ScoreBeforeText = 160;
constexpr int StageCompletedText = 161;
constexpr int ProceedText = 240;
constexpr int GameOverButtonText = 261;

constexpr int FewPieces = 5;
constexpr DWORD UnitPause = 2;

// Names on the left of a group, values on its right.
constexpr int NameLeft = 12;
constexpr int NameWidth = 290;
constexpr int ValueLeft = 310;
constexpr int ValueWidth = 90;
constexpr int RowHeight = 20;

AnsiString Text(int number) {
    return TMyLanguages::GetSingleton().GetString(number);
}

int Value(TLabel* label) {
    return StrToInt(label->Caption);
}

} // namespace

TAdvanceStageForm::TAdvanceStageForm(TComponent* Owner) : TForm(Owner) {
    Name = "AdvanceStageForm";
    Tag = 230;
    Caption = "Congratulations! You advance to the next stage...";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons();
    ClientWidth = 436;
    ClientHeight = 292;
    Position = poScreenCenter;
    PlaceComponents();
    OnShow = Method(this, &TAdvanceStageForm::FormShow);
    OnPaint = Method(this, &TAdvanceStageForm::FormPaint);
    Loaded();
}

TLabel* TAdvanceStageForm::NewLabel(TWinControl* parent, const char* name, int tag,
                                    const char* caption, int left, int top, int width) {
    auto* label = new TLabel(this);
    label->Name = name;
    label->Parent = parent;
    label->Tag = tag;
    label->Caption = caption;
    label->AutoSize = false;
    label->SetBounds(left, top, width, 18);
    return label;
}

// The rule of the bonus on top, the score and the time in two groups, the
// button below.
void TAdvanceStageForm::PlaceComponents() {
    Label15 = NewLabel(this, "Label15", 239,
                       "You recieve 1 point for each second left, 10 points for eacht piece left",
                       8, 8, 420);
    Label15->WordWrap = true;
    Label15->SetBounds(8, 8, 420, 36);

    GroupBox1 = new TGroupBox(this);
    GroupBox1->Name = "GroupBox1";
    GroupBox1->Parent = this;
    GroupBox1->Tag = 235;
    GroupBox1->Caption = "Current Score";
    GroupBox1->SetBounds(8, 48, 420, 110);
    Label1 =
        NewLabel(GroupBox1, "Label1", 240, "Your score before stage x:", NameLeft, 22, NameWidth);
    Label2 = NewLabel(GroupBox1, "Label2", 236, "Bonus for left time:", NameLeft, 22 + RowHeight,
                      NameWidth);
    Label3 = NewLabel(GroupBox1, "Label3", 237, "Bonus for left pieces:", NameLeft,
                      22 + 2 * RowHeight, NameWidth);
    Label4 =
        NewLabel(GroupBox1, "Label4", 238, "Total Score:", NameLeft, 22 + 3 * RowHeight, NameWidth);
    Label4->Font->Style = TFontStyles() << fsBold;
    Label5 = NewLabel(GroupBox1, "Label5", 0, "0", ValueLeft, 22, ValueWidth);
    Label6 = NewLabel(GroupBox1, "Label6", 0, "0", ValueLeft, 22 + RowHeight, ValueWidth);
    Label7 = NewLabel(GroupBox1, "Label7", 0, "0", ValueLeft, 22 + 2 * RowHeight, ValueWidth);
    Label8 = NewLabel(GroupBox1, "Label8", 0, "0", ValueLeft, 22 + 3 * RowHeight, ValueWidth);
    Label8->Font->Style = TFontStyles() << fsBold;

    GroupBox2 = new TGroupBox(this);
    GroupBox2->Name = "GroupBox2";
    GroupBox2->Parent = this;
    GroupBox2->Tag = 231;
    GroupBox2->Caption = "Current Time";
    GroupBox2->SetBounds(8, 164, 420, 90);
    Label9 = NewLabel(GroupBox2, "Label9", 232, "Time left:", NameLeft, 22, NameWidth);
    Label10 =
        NewLabel(GroupBox2, "Label10", 233, "Bonus time:", NameLeft, 22 + RowHeight, NameWidth);
    Label11 = NewLabel(GroupBox2, "Label11", 234, "Total time left: ", NameLeft, 22 + 2 * RowHeight,
                       NameWidth);
    Label11->Font->Style = TFontStyles() << fsBold;
    Label12 = NewLabel(GroupBox2, "Label12", 0, "0", ValueLeft, 22, ValueWidth);
    Label13 = NewLabel(GroupBox2, "Label13", 0, "0", ValueLeft, 22 + RowHeight, ValueWidth);
    Label14 = NewLabel(GroupBox2, "Label14", 0, "0", ValueLeft, 22 + 2 * RowHeight, ValueWidth);
    Label14->Font->Style = TFontStyles() << fsBold;

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Tag = 240;
    Button1->Caption = "Proceed to next stage...";
    Button1->Default = true;
    Button1->ModalResult = mrOk;
    Button1->SetBounds(108, 262, 220, 25);
}

// The stage is already the next one; the pieces are those the human kept
// in the stage just won.
void TAdvanceStageForm::FormShow(TObject*) {
    TMyLanguages::GetSingleton().WriteCaption(this);
    const VellGameControl& game = *MainWindow()->Game;
    const int32_t stage = game.ArcadeStage;
    const int32_t seconds = game.ArcadeSecondsLeft;
    const int32_t pieces = game.ArcadePiecesBonus;
    if (seconds == 0 || pieces < FewPieces) {
        Caption = "Game Over";
        Button1->Caption = Text(GameOverButtonText);
    } else {
        Caption = Text(StageCompletedText) + IntToStr(stage - 1);
        Button1->Caption = Text(ProceedText);
    }
    Label1->Caption = Text(ScoreBeforeText) + " " + IntToStr(stage);
    Label12->Caption = IntToStr(seconds);
    Label13->Caption = IntToStr(StageBonusSeconds(stage));
    Label14->Caption = Label12->Caption();
    Label5->Caption = IntToStr(game.ArcadeScore);
    Label8->Caption = Label5->Caption();
    Label6->Caption = IntToStr(seconds);
    Label7->Caption = IntToStr(PointsPerPiece * pieces);
    Application->ProcessMessages();
    CountPending = 1;
}

// The count-up runs on the first paint after the show; later paints (the
// dialog covered and uncovered, repaints during the count) return at once.
void TAdvanceStageForm::FormPaint(TObject*) {
    if (!CountPending)
        return;
    CountPending = 0;
    if (CountInto(Label13, Label14) && CountInto(Label6, Label8))
        CountInto(Label7, Label8);
}

bool TAdvanceStageForm::CountInto(TLabel* from, TLabel* to) {
    while (Value(from) > 0) {
        Application->ProcessMessages();
        from->Caption = IntToStr(Value(from) - 1);
        to->Caption = IntToStr(Value(to) + 1);
        Sleep(UnitPause);
        if (ModalResult != mrNone)
            return false;
    }
    return true;
}
