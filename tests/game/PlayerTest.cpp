#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <type_traits>

#include "game/ComputerPlayer.h"
#include "game/HumanPlayer.h"
#include "game/Random.h"
#include "game/RemotePlayer.h"
#include "platform/win32/WinTypes.h"
#include "tests/game/Boards.h"
#include "tests/game/FakeHost.h"

namespace {

// Black closed a line; white's pieces 4-5-6 stand in a line with pieces in
// hand, so black has nothing to take; white's 9 is free.
const char* const NothingToTake = "22201110 00000000 00000000";
const char* const SomethingToTake = "22201110 01000000 00000000";

TEST(PlayerTest, WhatEachKindOfPlayerIs) {
    RecordingHost host;
    Player base("Base", nullptr, White, host);
    HumanPlayer human("Human", nullptr, White, host);
    ComputerPlayer computer("Computer", nullptr, Black, host);
    RemotePlayer remote("Remote", nullptr, Black, host);
    EXPECT_FALSE(base.IsHuman());
    EXPECT_FALSE(base.IsRemote());
    EXPECT_TRUE(human.IsHuman());
    EXPECT_FALSE(human.IsRemote());
    EXPECT_FALSE(computer.IsHuman());
    EXPECT_FALSE(computer.IsRemote());
    EXPECT_FALSE(remote.IsHuman());
    EXPECT_TRUE(remote.IsRemote());
    EXPECT_EQ(human.Name, "Human");
    EXPECT_EQ(human.Colour, White);
    EXPECT_EQ(human.Game, nullptr);
}

TEST(PlayerTest, ConstructionSeedsTheGeneratorWithTheTime) {
    RecordingHost host;
    SetRandomSeed(1);
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    HumanPlayer player("Human", nullptr, White, host);
    const auto after = static_cast<uint32_t>(std::time(nullptr));
    EXPECT_GE(RandomState, before);
    EXPECT_LE(RandomState, after);
}

TEST(PlayerTest, TheControllerDeletesItsSeatsThroughPlayerPointers) {
    static_assert(std::has_virtual_destructor_v<Player>);
    RecordingHost host;
    std::unique_ptr<Player> seat =
        std::make_unique<ComputerPlayer>("Computer", nullptr, Black, host);
    seat.reset();
    seat = std::make_unique<HumanPlayer>("Human", nullptr, White, host);
    seat.reset();
    SUCCEED(); // the sanitizer reports a mismatched delete
}

TEST(HumanPlayerTest, PromptsForEachKindAndOpensTheBoard) {
    struct Case {
        uint8_t kind;
        AnsiString status;
    };
    for (const Case& c :
         {Case{Put, "Anna: <130>"}, Case{Move, "Anna: <131>"}, Case{Jump, "Anna: <132>"},
          Case{Remove, "Anna: <133>"}, Case{NoMove, "before"}}) {
        RecordingHost host;
        host.status = "before";
        HumanPlayer human("Anna", nullptr, Black, host);
        human.TakeTurn(c.kind, MakeBoard(SomethingToTake, 5, 6));
        EXPECT_EQ(host.status, c.status);
        EXPECT_TRUE(host.messages.empty());
        EXPECT_TRUE(host.submitted.empty());
        EXPECT_EQ(host.uiEnabled, std::vector<bool>{true});
    }
}

TEST(HumanPlayerTest, NothingToRemoveIsToldThenPassed) {
    RecordingHost host;
    HumanPlayer human("Anna", nullptr, Black, host);
    human.TakeTurn(Remove, MakeBoard(NothingToTake, 5, 6));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "<129>");
    EXPECT_EQ(host.messages[0].caption, "<43>");
    EXPECT_EQ(host.messages[0].flags, MB_ICONEXCLAMATION);
    ASSERT_EQ(host.submitted.size(), 1u);
    EXPECT_TRUE(SameMove(host.submitted[0].move, PassMove));
    EXPECT_FALSE(host.submitted[0].send);
    // The remove prompt stays until the next side is asked.
    EXPECT_EQ(host.status, "Anna: <133>");
    EXPECT_EQ(host.uiEnabled, std::vector<bool>{true});
}

TEST(RemotePlayerTest, WaitsOrPassesWhenThereIsNothingToDo) {
    struct Case {
        uint8_t kind;
        const char* rings;
        bool passes;
    };
    // In "22221001 01010000 ..." black's 0-3 are shut in.
    for (const Case& c : {Case{Put, SomethingToTake, false}, Case{Remove, SomethingToTake, false},
                          Case{Remove, NothingToTake, true}, Case{Move, SomethingToTake, false},
                          Case{Move, "22221001 01010000 00000000", true},
                          Case{Jump, "22221001 01010000 00000000", false}}) {
        RecordingHost host;
        RemotePlayer remote("Opponent", nullptr, Black, host);
        remote.TakeTurn(c.kind, MakeBoard(c.rings, 5, 6));
        EXPECT_EQ(host.status, "<135>");
        ASSERT_EQ(host.submitted.size(), c.passes ? 1u : 0u) << "kind " << int(c.kind);
        if (c.passes) {
            EXPECT_TRUE(SameMove(host.submitted[0].move, PassMove));
            EXPECT_FALSE(host.submitted[0].send);
        }
        EXPECT_TRUE(host.uiEnabled.empty());
    }
}

} // namespace
