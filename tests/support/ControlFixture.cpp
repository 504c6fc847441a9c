#include "tests/support/ControlFixture.h"

#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

void ControlFixture::StartProgram() {
    ProgramFixture::StartProgram();
    ASSERT_NE(Form1->Game, nullptr);
}

void ControlFixture::ExpectTwoPeopleSelection(int matchLength) {
    ExpectSelection({.opponent = MatchChoice::TwoPeople,
                     .player2 = "Bob",
                     .matchLength = matchLength,
                     .difficulty = std::nullopt,
                     .graphicsSet = std::nullopt});
}

void ControlFixture::ExpectClassicSelection(int difficulty, int matchLength) {
    ExpectSelection({.opponent = MatchChoice::Classic,
                     .matchLength = matchLength,
                     .difficulty = difficulty,
                     .graphicsSet = std::nullopt});
}

void ControlFixture::StartTwoPeopleMatch(int matchLength) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    ExpectWelcome();
    ExpectTwoPeopleSelection(matchLength);
    ASSERT_TRUE(WaitForHuman());
}

void ControlFixture::StartClassicMatch(int difficulty, int matchLength) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    ExpectWelcome();
    ExpectClassicSelection(difficulty, matchLength);
    ASSERT_TRUE(WaitForHuman());
}

bool ControlFixture::WaitForHuman() {
    return RunUntil([this] { return !Game().PendingMove && Game().IsGameUIEnabled(); });
}

void ControlFixture::Play(const MoveRecord& move) {
    ASSERT_TRUE(Game().IsGameUIEnabled()) << "no human is asked for a move";
    Game().EnableGameUI(false);
    Game().SubmitMove(move, true);
    ASSERT_TRUE(WaitForHuman());
}

void ControlFixture::LoadPosition(const AnsiString& gameString) {
    ASSERT_TRUE(Game().SetGameString(gameString)) << gameString;
    Game().AskNextPlayer();
}

BoardRecord ControlFixture::Board() {
    BoardRecord board;
    Game().Engine->CopyBoard(board);
    return board;
}

HistoryEntry& ControlFixture::LastEntry() {
    return *Game().Entry(Game().History->Count - 1);
}
