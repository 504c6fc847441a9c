// Network matches through the whole program: the player-selection dialog,
// the connect dialog, the game timer and the board, against a peer that the
// test drives over 127.0.0.1:1024 with the bytes of the wire protocol. The
// peer plays by the same deterministic policy as the whole-game tests, on
// the position that Korvel shows.

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <thread>
#include <tuple>

#include <QTimer>

#include "game/GameText.h"
#include "game/Player.h"
#include "game/gamecontrol.h"
#include "net/TTCPConnectForm.h"
#include "net/TVellChatForm.h"
#include "platform/inet/ServerWinSocket.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win32/Clock.h"
#include "tests/fixtures/MakerServer.h"
#include "tests/net/LinkPort.h"
#include "tests/support/GameFixture.h"
#include "tests/support/TestListener.h"
#include "tests/support/TestPeer.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

size_t Count(const std::string& text, const std::string& word) {
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

class NetGameTest : public GameFixture {
protected:
    // The controller's link is the match's link window.
    TVellChatForm* LinkWindow() { return dynamic_cast<TVellChatForm*>(Game().Link); }
    void SelectNetwork() {
        hook.ExpectModal<TPlayerSelectionForm>().Fill([](TPlayerSelectionForm& form) {
            form.RadioButton6->Click();
            form.Edit2->Text = "Bert";
            form.Button1->Click();
        });
    }
    // Korvel ("Bert") hosts; the peer calls it and has not said its name.
    void CallTheHost() {
        StartProgram();
        ExpectWelcome();
        SelectNetwork();
        hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
            dialog.RadioButton2->Click();
            dialog.Button1->Click();
        });
        ASSERT_TRUE(RunUntil([this] { return Game().Link && LinkWindow()->LinkState == 2; }, 20));
        peer = TestPeer::Connect(LinkPort);
        ASSERT_TRUE(peer.Valid());
    }
    // Korvel ("Bert") hosts and accepts the peer ("Anna"); game 1 starts.
    void HostMatch() {
        ASSERT_NO_FATAL_FAILURE(CallTheHost());
        hook.ExpectMessageBox("Anna " + Text(76)).Press(IDYES);
        peer.Send("NAMEAnna|");
        ASSERT_TRUE(peer.WaitFor("NAME:Bert|"));
        ASSERT_TRUE(RunUntil([this] { return Game().GetGameState() == 5; }, 20));
    }
    // Korvel ("Bert") calls the peer ("Anna"); game 1 starts.
    void CallMatch() {
        ASSERT_NO_THROW(listener.emplace(LinkPort));
        StartProgram();
        ExpectWelcome();
        SelectNetwork();
        hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
            dialog.Edit1->Text = "127.0.0.1";
            dialog.Button1->Click();
        });
        ASSERT_TRUE(RunUntil([this] { return Game().Link != nullptr; }, 20));
        peer = listener->Accept();
        ASSERT_TRUE(peer.Valid());
        ASSERT_TRUE(peer.WaitFor("NAMEBert|"));
        peer.Send("NAME:Anna|");
        ASSERT_TRUE(RunUntil([this] { return Game().GetGameState() == 5; }, 20));
    }
    // After the link ends the next match opens; the test quits there.
    void ExpectNextMatchQuit() {
        hook.ExpectMessageBox(Text(299)).Repeatedly();
        hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
    }
    void SendData(const std::string& payload) { peer.Send("DATA:" + payload + "|"); }

    uint8_t PeerColour() { return OtherColour(Game().HumanColour()); }
    bool PeerToMove() {
        if (!Running() || !Game().Link || LinkWindow()->LinkState != 3 || Game().PendingMove)
            return false;
        const uint8_t state = Game().GetGameState();
        return Game().GetSideToMove() == PeerColour() && (state == 1 || state == 4 || state == 5);
    }
    // The peer's move by the policy; NoMove when the rules leave it none
    // (Korvel passes for it on its own).
    MoveRecord PeerMove(Style style) {
        return ChooseMove(CurrentBoard(), PeerColour(), Game().GetGameState(), style);
    }
    // Plays both sides until `done`: Korvel's user by clicks, the peer by
    // sending its moves, once per position.
    bool PlayBoth(const std::function<bool()>& done, Style korvel, Style partner) {
        std::pair<int, int> sentAt{-1, -1};
        return RunUntil(done, 120, [&] {
            if (HumanToMove()) {
                PlayTurn({{Game().HumanColour(), korvel}});
                return;
            }
            const std::pair<int, int> here{Game().Wins1 + Game().Wins2, HistoryCount()};
            if (!PeerToMove() || here == sentAt)
                return;
            const MoveRecord move = PeerMove(partner);
            if (move.kind != NoMove)
                SendData(MoveToText(move));
            sentAt = here;
        });
    }
    size_t ReadyCount() { return Count(peer.Received(), "DATA:R|"); }
    size_t MovesSent() {
        return Count(peer.Received(), "DATA:") - ReadyCount() - Count(peer.Received(), "DATA:TG") -
               Count(peer.Received(), "DATA:S|");
    }
    std::vector<AnsiString> LinkLog() {
        std::vector<AnsiString> lines;
        for (int i = 0; i < LinkWindow()->Memo1->Lines->Count; ++i)
            lines.push_back(LinkWindow()->Memo1->Lines->Strings[i]);
        return lines;
    }
    // The partner's bytes that Korvel's socket holds and has not taken;
    // Korvel hosts.
    int HeldBytes() {
        TServerWinSocket* server = LinkWindow()->ServerSocket1->Socket;
        return server->ActiveConnections > 0 ? server->Connections[0]->ReceiveLength() : 0;
    }
    // Korvel hosts game 1 and has put on 9 and 11, the partner on 0 and 1;
    // Korvel has put on 13, and the partner is to move: its put on 2
    // closes the line 0-1-2, and its removal of 9 follows.
    void ReachThePartnersLine() {
        ASSERT_NO_FATAL_FAILURE(HostMatch());
        SendData("R");
        for (const auto& [own, partners] : {std::pair{9, 0}, std::pair{11, 1}}) {
            ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
            Play(MoveRecord{own, -1, 0, Put});
            ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
            SendData(MoveToText(MoveRecord{partners, -1, 0, Put}));
        }
        ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
        Play(MoveRecord{13, -1, 0, Put});
        ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
        historyBeforeLine = HistoryCount();
    }
    static constexpr const char* LineAndRemoval = "DATA:1*2*-1*0|DATA:4*9*-1*0|";
    // Both moves have been executed, in order: Korvel is to move.
    bool LineAndRemovalDone() {
        const BoardRecord board = CurrentBoard();
        return HumanToMove() && HistoryCount() == historyBeforeLine + 2 &&
               board.cell[2] == PeerColour() && board.cell[9] == Empty;
    }
    int historyBeforeLine = 0;

    LinkPortLock portLock;
    // Where Korvel's call arrives, while the test listens for it.
    std::optional<TestListener> listener;
    TestPeer peer;
};

// Korvel hosts: colour 1 is its user's and begins game 1 once the peer's
// "R" has come; moves travel both ways to a win; game 2 is begun by the
// peer, and Korvel sends "R" until the peer's first move arrives.
TEST_F(NetGameTest, HostWinsAGameThenThePartnerBeginsTheNext) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    EXPECT_EQ(Game().GameMode, NetworkMode);
    EXPECT_TRUE(Game().FirstSeat->IsHuman());
    EXPECT_TRUE(Game().SecondSeat->IsRemote());
    EXPECT_EQ(Game().SecondSeat->Name, "Opponent");
    EXPECT_TRUE(Game().LocalSideStarts());
    EXPECT_TRUE(Form1->DrawGame1->Visible);

    // The user's first move waits for the partner's readiness.
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    PlayTurn({{1, Style::Pressing}});
    PumpFor(300);
    EXPECT_EQ(HistoryCount(), 1);
    EXPECT_EQ(MovesSent(), 0u);
    EXPECT_EQ(ReadyCount(), 0u) << "the starting side never sends R";
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return MovesSent() == 1; }, 20));

    hook.ExpectMessageBox("Opponent " + Text(80) + " Bert " + Text(81)).Repeatedly();
    ASSERT_TRUE(PlayBoth([this] { return Game().Wins1 + Game().Wins2 > 0; }, Style::Pressing,
                         Style::Yielding));
    EXPECT_EQ(Game().Wins1, 1);
    EXPECT_EQ(Game().Wins2, 0);
    EXPECT_GE(MovesSent(), 9u);
    // Every move sent is a well-formed MoveText.
    const std::string& sent = peer.Received();
    for (size_t at = sent.find("DATA:"); at != std::string::npos; at = sent.find("DATA:", at + 1)) {
        const std::string body = sent.substr(at + 5, sent.find('|', at) - at - 5);
        MoveRecord move = PassMove;
        EXPECT_TRUE(body == "R" || MoveFromText(body, move)) << body;
    }

    // Game 2: the peer begins; Korvel polls with "R" every 1.5 s.
    EXPECT_FALSE(Game().LocalSideStarts());
    EXPECT_EQ(Game().GetSideToMove(), 2);
    const size_t before = ReadyCount();
    ASSERT_TRUE(RunUntil([&] { return ReadyCount() >= before + 3; }, 20));
    EXPECT_EQ(Game().GameTimer->Interval(), 1500u);
    SendData(MoveToText(PeerMove(Style::Yielding)));
    ASSERT_TRUE(RunUntil([this] { return HistoryCount() == 2; }, 20));
    EXPECT_EQ(Game().GameTimer->Interval(), 100u);
    const size_t afterMove = ReadyCount();
    PumpFor(400); // 8 s of game time
    EXPECT_EQ(ReadyCount(), afterMove);
    // An "R" after the first move changes nothing.
    Game().PartnerReady = 0;
    SendData("R");
    ASSERT_TRUE(peer.WaitUntilTaken());
    EXPECT_EQ(Game().PartnerReady, 0);
}

// Korvel calls: the peer's colour 1 begins game 1, and Korvel sends "R"
// 1.5 s apart until the first move arrives.
TEST_F(NetGameTest, CallerSeatsTheOpponentFirstAndRepeatsReady) {
    ASSERT_NO_FATAL_FAILURE(CallMatch());
    EXPECT_TRUE(Game().FirstSeat->IsRemote());
    EXPECT_EQ(Game().FirstSeat->Name, "Opponent");
    EXPECT_TRUE(Game().SecondSeat->IsHuman());
    EXPECT_EQ(Game().HumanColour(), 2);
    EXPECT_FALSE(Game().LocalSideStarts());

    const size_t first = ReadyCount();
    ASSERT_TRUE(RunUntil([&] { return ReadyCount() > first; }, 20));
    const DWORD start = GetTickCount();
    const size_t counted = ReadyCount();
    ASSERT_TRUE(RunUntil([&] { return ReadyCount() >= counted + 4; }, 20));
    // Four more in game time: a flood would bring them in a few ticks of
    // the 100 ms game timer. Half the spacing is the bound, as a stalled
    // test may see the first of them late and the rest on time.
    EXPECT_GE(GetTickCount() - start, 4 * 1500 / 2u);

    SendData(MoveToText(PeerMove(Style::Yielding)));
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    EXPECT_EQ(HistoryCount(), 2);
    PlayTurn({{2, Style::Pressing}});
    ASSERT_TRUE(RunUntil([this] { return MovesSent() == 1; }, 20));
    ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
}

// A draw offered by either side, accepted or declined.
TEST_F(NetGameTest, DrawOffersAndAnswers) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");

    // The peer offers, the user declines: the game goes on.
    hook.ExpectMessageBox(Text(67)).Caption(Text(68)).Flags(MB_YESNO | MB_ICONQUESTION).Press(IDNO);
    SendData("TGO");
    ASSERT_TRUE(peer.WaitFor("DATA:TGN|"));
    EXPECT_TRUE(Game().GameTimer->Enabled());
    EXPECT_EQ(Game().GetGameState(), 5);

    // The user offers, the peer declines.
    Form1->DrawGame1->Click();
    ASSERT_TRUE(peer.WaitFor("DATA:TGO|"));
    EXPECT_FALSE(Game().GameTimer->Enabled());
    hook.ExpectMessageBox(Text(69)).Caption(Text(70)).Flags(MB_ICONEXCLAMATION);
    SendData("TGN");
    ASSERT_TRUE(RunUntil([this] { return Game().GameTimer->Enabled(); }, 20));

    // The user offers, the peer accepts: a draw, counted for nobody.
    Form1->DrawGame1->Click();
    ASSERT_TRUE(RunUntil([this] { return Count(peer.Received(), "DATA:TGO|") == 2; }, 20));
    hook.ExpectMessageBox(Text(71)).Caption(Text(72)).Flags(MB_ICONEXCLAMATION);
    hook.ExpectMessageBox(Text(84)).Caption(Text(83));
    SendData("TGY");
    ASSERT_TRUE(RunUntil([this] { return !Game().LocalSideStarts() && HistoryCount() == 1; }, 20));
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0);

    // The peer offers, the user accepts.
    hook.ExpectMessageBox(Text(67)).Caption(Text(68)).Press(IDYES);
    hook.ExpectMessageBox(Text(84)).Caption(Text(83));
    SendData("TGO");
    ASSERT_TRUE(peer.WaitFor("DATA:TGY|"));
    ASSERT_TRUE(RunUntil([this] { return Game().LocalSideStarts(); }, 20));
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0);
}

// "S" both ways: the side that receives it wins the game.
TEST_F(NetGameTest, SurrenderBothWays) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    hook.ExpectMessageBox(Text(73)).Caption(Text(74)).Flags(MB_ICONEXCLAMATION);
    SendData("S");
    ASSERT_TRUE(RunUntil([this] { return Game().Wins1 == 1; }, 20));
    EXPECT_EQ(Game().Wins2, 0);

    Form1->NewGame1->Click();
    ASSERT_TRUE(peer.WaitFor("DATA:S|"));
    EXPECT_EQ(Game().Wins2, 1);
    EXPECT_TRUE(Game().LocalSideStarts()) << "game 3 is begun by colour 1 again";
}

// The partner's machine vanishes mid-game: the user is told, the match
// ends and the next match's dialog opens.
TEST_F(NetGameTest, PartnerVanishingEndsTheMatch) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    PlayTurn({{1, Style::Pressing}});
    ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
    hook.ExpectMessageBox(Text(64)).Caption(Text(65));
    ExpectNextMatchQuit();
    peer.Reset();
    ASSERT_TRUE(RunUntil([this] { return hook.ModalForms().size() >= 3; }, 20));
    EXPECT_EQ(Game().Link, nullptr) << "the next match frees the link window";
}

// An undo would travel nowhere and leave the partner's board behind, so a
// network match does not offer it, whoever has moved; the next match at
// one machine offers it again.
TEST_F(NetGameTest, UndoIsNotOfferedInANetworkMatch) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    EXPECT_FALSE(Form1->UndoLastMove1->Visible);
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    PlayTurn({{1, Style::Pressing}});
    ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
    SendData(MoveToText(PeerMove(Style::Yielding)));
    ASSERT_TRUE(RunUntil([this] { return HumanToMove() && HistoryCount() == 3; }, 20));
    EXPECT_FALSE(Form1->UndoLastMove1->Visible);
    EXPECT_FALSE(Form1->UndoLastMove1->Enabled);

    hook.ExpectMessageBox(Text(64)).Caption(Text(65));
    hook.ExpectMessageBox(Text(299)).Repeatedly();
    ExpectSelection({MatchChoice::TwoPeople});
    peer.Reset();
    ASSERT_TRUE(RunUntil([this] { return Game().GameMode == TwoPeopleMode && HumanToMove(); }, 20));
    EXPECT_TRUE(Form1->UndoLastMove1->Visible);
    PlayTurn({{1, Style::Pressing}});
    ASSERT_TRUE(RunUntil([this] { return HistoryCount() == 2; }, 20));
    EXPECT_TRUE(Form1->UndoLastMove1->Enabled);
}

// Bad game data from the peer. A payload that is no move is dropped and
// the game goes on; a move that is not the peer's or not legal here is
// dropped, logged, and the link is closed, so the match ends cleanly.
struct BadMove {
    const char* name;
    bool peerToMove; // sent when the peer is to move
    const char* payload;
    bool closes;
};

void PrintTo(const BadMove& c, std::ostream* os) {
    *os << c.name;
}

class NetBadMoveTest : public NetGameTest, public testing::WithParamInterface<BadMove> {};

TEST_P(NetBadMoveTest, IsDropped) {
    const BadMove& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    const MoveRecord own = ChooseMove(CurrentBoard(), 1, 5, Style::Pressing);
    std::string payload = c.payload;
    const size_t mark = payload.find("OCCUPIED");
    if (mark != std::string::npos)
        payload.replace(mark, 8, std::to_string(own.a));
    if (c.peerToMove) {
        Play(own);
        ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
    }
    const size_t logLines = LinkLog().size();
    if (c.closes) {
        hook.ExpectMessageBox(Text(79) + " " + payload).Flags(MB_TASKMODAL | MB_ICONEXCLAMATION);
        ExpectNextMatchQuit();
    }
    const int history = HistoryCount();
    // Bodies after the refused move in the same read are not taken either.
    SendData(payload);
    if (c.closes) {
        ASSERT_TRUE(RunUntil([this] { return peer.SawEnd(); }, 20));
        EXPECT_EQ(HistoryCount(), history);
        EXPECT_EQ(LinkLog().size(), logLines + 1);
        EXPECT_EQ(LinkLog().back(), Text(79) + " " + payload);
        EXPECT_EQ(LinkWindow()->LinkState, 0);
        ASSERT_TRUE(RunUntil([this] { return Game().Link == nullptr; }, 20))
            << "the next match frees the link window";
    } else {
        ASSERT_TRUE(peer.WaitUntilTaken());
        PumpFor(100);
        EXPECT_EQ(HistoryCount(), history);
        EXPECT_FALSE(peer.SawEnd());
        EXPECT_EQ(LinkWindow()->LinkState, 3);
        // The game goes on with a good move.
        SendData(MoveToText(PeerMove(Style::Yielding)));
        EXPECT_TRUE(RunUntil([&] { return HistoryCount() == history + 1; }, 20));
    }
}

INSTANTIATE_TEST_SUITE_P(Payloads, NetBadMoveTest,
                         testing::Values(BadMove{"NotAMove", true, "hello", false},
                                         BadMove{"PieceNotANumber", true, "1*x*-1*0", false},
                                         BadMove{"TooFewStars", true, "1*3", false},
                                         BadMove{"OutOfTurn", false, "1*20*-1*0", true},
                                         BadMove{"OccupiedPoint", true, "1*OCCUPIED*-1*0", true},
                                         BadMove{"PointOffTheBoard", true, "1*24*-1*0", true},
                                         BadMove{"HugePoint", true, "1*2147483647*-1*0", true},
                                         BadMove{"MoveWhilePutting", true, "2*0*1*0", true},
                                         BadMove{"UnknownKind", true, "9*1*2*0", true},
                                         BadMove{"PassWithPiecesToPut", true, "5*-1*-1*0", true}),
                         [](const testing::TestParamInfo<BadMove>& info) {
                             return std::string(info.param.name);
                         });

// The partner's next message while a box about its last one is open: it
// waits until the box is answered, so a box of the partner's never opens
// inside another, and after the box the handler goes on only while the
// link stands.
enum class PartnerBox { DrawOffer, DrawAccepted, GaveUp };
enum class PartnerEvent { Leaves, SameAgain, Moves };

struct NestedPartnerCase {
    const char* name;
    PartnerBox box;
    PartnerEvent event;
};

void PrintTo(const NestedPartnerCase& c, std::ostream* os) {
    *os << c.name;
}

class NetNestedBoxTest : public NetGameTest, public testing::WithParamInterface<NestedPartnerCase> {
protected:
    std::string BoxWord() const {
        switch (GetParam().box) {
        case PartnerBox::DrawOffer:
            return "TGO";
        case PartnerBox::DrawAccepted:
            return "TGY";
        case PartnerBox::GaveUp:
            return "S";
        }
        return "";
    }
    int BoxText() const {
        switch (GetParam().box) {
        case PartnerBox::DrawOffer:
            return 67;
        case PartnerBox::DrawAccepted:
            return 71;
        case PartnerBox::GaveUp:
            return 73;
        }
        return 0;
    }
    // The partner's message, then what it does while the box is open.
    void SendInsideTheBox(const MoveRecord& move) {
        const bool leaves = GetParam().event == PartnerEvent::Leaves;
        auto& box = hook.ExpectMessageBox(Text(BoxText()))
                        .Times(GetParam().event == PartnerEvent::SameAgain ? 2 : 1)
                        .WhileOpen([this, move] {
                            EXPECT_FALSE(open) << "a box of the partner's opened inside another";
                            open = true;
                            if (++opened == 1)
                                Act(move);
                            open = false;
                        });
        // An accepted draw would end the game, were the link still there.
        if (GetParam().box == PartnerBox::DrawOffer)
            box.Press(leaves ? IDYES : IDNO);
        if (leaves) {
            hook.ExpectMessageBox(Text(64)).Caption(Text(65));
            ExpectNextMatchQuit();
        }
        SendData(BoxWord());
        ASSERT_TRUE(RunUntil([this] { return opened >= 1 && !open; }, 20));
    }
    void Act(const MoveRecord& move) {
        switch (GetParam().event) {
        case PartnerEvent::Leaves:
            peer.Reset();
            break;
        case PartnerEvent::SameAgain:
            SendData(BoxWord());
            break;
        case PartnerEvent::Moves:
            SendData(MoveToText(move));
            break;
        }
        // Time for Korvel to read it while the box is open.
        PumpFor(500);
    }

    bool open = false; // the box is open
    int opened = 0;
};

TEST_P(NetNestedBoxTest, ThePartnersNextMessageWaitsForTheBox) {
    const NestedPartnerCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    Play(ChooseMove(CurrentBoard(), 1, 5, Style::Pressing));
    ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
    const MoveRecord move = PeerMove(Style::Yielding);
    if (c.box == PartnerBox::DrawAccepted) {
        Form1->DrawGame1Click(nullptr);
        ASSERT_TRUE(peer.WaitFor("DATA:TGO|"));
    }
    ASSERT_NO_FATAL_FAILURE(SendInsideTheBox(move));
    switch (c.event) {
    case PartnerEvent::Leaves:
        ASSERT_TRUE(RunUntil([this] { return hook.ModalForms().size() >= 3; }, 20));
        EXPECT_EQ(Game().Wins1 + Game().Wins2, 0) << "nothing is decided on a link that ended";
        break;
    case PartnerEvent::SameAgain:
        ASSERT_TRUE(RunUntil([this] { return hook.BoxesShown(Text(BoxText())) == 2; }, 20));
        if (c.box == PartnerBox::DrawOffer)
            EXPECT_TRUE(peer.WaitFor("DATA:TGN|DATA:TGN|"));
        else
            EXPECT_TRUE(RunUntil([this] { return Game().Wins1 == 2; }, 20));
        break;
    case PartnerEvent::Moves:
        EXPECT_TRUE(RunUntil([this] { return HumanToMove() && HistoryCount() == 3; }, 20))
            << "the move is executed after the box, in order";
        break;
    }
    hook.Verify();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetNestedBoxTest,
    testing::Values(
        NestedPartnerCase{"DrawOfferThenLeaves", PartnerBox::DrawOffer, PartnerEvent::Leaves},
        NestedPartnerCase{"DrawOfferTwice", PartnerBox::DrawOffer, PartnerEvent::SameAgain},
        NestedPartnerCase{"DrawOfferThenAMove", PartnerBox::DrawOffer, PartnerEvent::Moves},
        NestedPartnerCase{"DrawAcceptedThenLeaves", PartnerBox::DrawAccepted, PartnerEvent::Leaves},
        NestedPartnerCase{"GaveUpThenLeaves", PartnerBox::GaveUp, PartnerEvent::Leaves},
        NestedPartnerCase{"GaveUpTwice", PartnerBox::GaveUp, PartnerEvent::SameAgain}),
    [](const testing::TestParamInfo<NestedPartnerCase>& info) { return info.param.name; });

// The caller leaves while the host's user is asked whether to play: the
// Yes that follows starts nothing, and the next match opens.
TEST_F(NetGameTest, TheCallerLeavingDuringTheHostsQuestionStartsNoMatch) {
    ASSERT_NO_FATAL_FAILURE(CallTheHost());
    hook.ExpectMessageBox("Anna " + Text(76))
        .WhileOpen([this] {
            peer.Reset();
            PumpFor(500);
        })
        .Press(IDYES);
    ExpectNextMatchQuit();
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(RunUntil([this] { return hook.ModalForms().size() >= 3; }, 20))
        << "the next match opens";
    EXPECT_EQ(hook.ModalForms().back().ClassName, "TPlayerSelectionForm");
    EXPECT_EQ(peer.Received(), "") << "no name was sent back";
    hook.Verify();
}

// The partner's message while code below Korvel's handler still runs:
// inside the execution of Korvel's own move, inside a box of the main
// window, inside one of the high-score window and inside that window's
// wait for the web server. Korvel reads it there and handles it once back
// in the main loop: a draw offer opens its box then, not inside another;
// a move is executed in order; a partner who leaves ends the match and no
// game is decided.
enum class NestingPoint { MoveExecution, MainWindowBox, HighScoreBox, HttpWait };
enum class PartnerAct { Leaves, OffersDraw, Moves };

const char* const PointNames[] = {"MoveExecution", "MainWindowBox", "HighScoreBox", "HttpWait"};
const char* const ActNames[] = {"Leaves", "OffersDraw", "Moves"};

using NetCell = std::tuple<NestingPoint, PartnerAct>;

class NetNestingTest : public NetGameTest, public testing::WithParamInterface<NetCell> {
protected:
    NestingPoint point() const { return std::get<0>(GetParam()); }
    PartnerAct act() const { return std::get<1>(GetParam()); }

    int FreePointBut(int taken) {
        const BoardRecord board = CurrentBoard();
        for (int p = 0; p < PointCount; ++p)
            if (board.cell[p] == Empty && p != taken)
                return p;
        return -1;
    }

    // The partner acts; Korvel has the time to read it while the code
    // below still runs.
    void Act() {
        EXPECT_TRUE(InNestedLoop()) << "the partner acts while code below works";
        inside = true;
        switch (act()) {
        case PartnerAct::Leaves:
            peer.Reset();
            break;
        case PartnerAct::OffersDraw:
            SendData("TGO");
            break;
        case PartnerAct::Moves:
            SendData(MoveToText(MoveRecord{partnersPoint, -1, 0, Put}));
            break;
        }
        PumpFor(500);
        inside = false;
    }
    // What the partner's act brings once the point is left.
    void ExpectTheOutcome() {
        if (act() == PartnerAct::Leaves) {
            hook.ExpectMessageBox(Text(64)).Caption(Text(65));
            ExpectNextMatchQuit();
        } else if (act() == PartnerAct::OffersDraw) {
            hook.ExpectMessageBox(Text(67))
                .WhileOpen([this] { EXPECT_FALSE(inside) << "the draw box opened inside another"; })
                .Press(IDNO);
        }
    }

    void ActDuringKorvelsMove(int korvelsPoint) {
        bool acted = false;
        const std::unique_ptr<QTimer> pass = OnEveryPass([&] {
            if (acted || !Game().IsMoveInProgress())
                return;
            acted = true;
            Act();
        });
        Play(MoveRecord{korvelsPoint, -1, 0, Put});
        ASSERT_TRUE(RunUntil([&] { return acted; }, 20));
    }
    void ActInsideAMainWindowBox() {
        hook.ExpectMessageBox(Text(44)).WhileOpen([this] { Act(); }).Press(IDNO);
        Form1->StartNewMatch1Click(nullptr);
    }
    void ActInsideTheHighScoreWindow() {
        hook.ExpectMessageBox(Text(259)).WhileOpen([this] { Act(); }).Press(IDNO);
        hook.ExpectMessageBox(Text(257));
        hook.ExpectModal<THighScoreForm>().Fill([](THighScoreForm& form) {
            form.Button2->Click();
            form.Button1->Click();
        });
        Form1->ShowHighscores1Click(nullptr);
    }
    void ActInsideTheHttpWait() {
        makerserver::MakerServer server;
        server.AnswerPage(makerserver::TenRowPage());
        server.AnswerLater(makerserver::VersionScript, {200, "OK", "NoUpdate\n"});
        bool acted = false;
        const std::unique_ptr<QTimer> pass = OnEveryPass([&] {
            if (acted || server.RequestsTo(makerserver::VersionScript).empty())
                return;
            acted = true;
            Act();
            server.Release();
        });
        hook.ExpectMessageBox(Text(259)).Press(IDYES);
        hook.ExpectModal<THighScoreForm>().Fill([](THighScoreForm& form) {
            form.Button2->Click();
            form.Button1->Click();
        });
        Form1->ShowHighscores1Click(nullptr);
        EXPECT_TRUE(acted);
    }
    bool inside = false; // the partner's act is under way at the point
    int partnersPoint = -1;
};

TEST_P(NetNestingTest, ThePartnersMessageIsHandledOnceThePointIsLeft) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    const int historyAtStart = HistoryCount();
    const int korvelsPoint = FreePointBut(-1);
    partnersPoint = FreePointBut(korvelsPoint);
    ExpectTheOutcome();
    if (point() == NestingPoint::MoveExecution) {
        ASSERT_NO_FATAL_FAILURE(ActDuringKorvelsMove(korvelsPoint));
    } else {
        Play(MoveRecord{korvelsPoint, -1, 0, Put});
        ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
        if (point() == NestingPoint::MainWindowBox)
            ActInsideAMainWindowBox();
        else if (point() == NestingPoint::HighScoreBox)
            ActInsideTheHighScoreWindow();
        else
            ActInsideTheHttpWait();
    }

    switch (act()) {
    case PartnerAct::Leaves:
        EXPECT_TRUE(RunUntil(
            [this] {
                return hook.ModalForms().back().ClassName == "TPlayerSelectionForm" &&
                       hook.ModalForms().size() >= 3;
            },
            20))
            << "the next match opens";
        EXPECT_EQ(Game().Wins1 + Game().Wins2, 0) << "nothing is decided on a link that ended";
        break;
    case PartnerAct::OffersDraw:
        EXPECT_TRUE(peer.WaitFor("DATA:TGN|"));
        EXPECT_TRUE(RunUntil([this] { return PeerToMove(); }, 20)) << "the game goes on";
        break;
    case PartnerAct::Moves:
        EXPECT_TRUE(RunUntil(
            [this] { return HumanToMove() && CurrentBoard().cell[partnersPoint] == PeerColour(); },
            20))
            << "the move is executed after the point, on the position it was made for";
        EXPECT_EQ(HistoryCount(), historyAtStart + 2) << "Korvel's move and the partner's";
        break;
    }
    hook.Verify();
}

INSTANTIATE_TEST_SUITE_P(
    Cells, NetNestingTest,
    testing::Combine(testing::Values(NestingPoint::MoveExecution, NestingPoint::MainWindowBox,
                                     NestingPoint::HighScoreBox, NestingPoint::HttpWait),
                     testing::Values(PartnerAct::Leaves, PartnerAct::OffersDraw,
                                     PartnerAct::Moves)),
    [](const testing::TestParamInfo<NetCell>& info) {
        return std::string(PointNames[static_cast<int>(std::get<0>(info.param))]) + "_" +
               ActNames[static_cast<int>(std::get<1>(info.param))];
    });

// A partner that floods while one of its boxes is open: Korvel's question
// whether to play against the caller, the draw question, the partner's
// message box and the box of a refused move. Korvel takes nothing from the
// socket inside the box, so the socket holds at most its bound and the
// partner is held back; after the box the flood is dropped as a body too
// long, and what follows it arrives whole. A refused move has closed the
// link before its box: the flood goes nowhere.
enum class FloodBox { HostsQuestion, DrawQuestion, PartnersMessage, RefusedMove };

struct FloodCase {
    const char* name;
    FloodBox box;
};

void PrintTo(const FloodCase& c, std::ostream* os) {
    *os << c.name;
}

class NetFloodTest : public NetGameTest, public testing::WithParamInterface<FloodCase> {
protected:
    // Far more than the socket's bound and what the system buffers.
    static constexpr size_t FloodBytes = 32 * 1024 * 1024;

    FloodBox Box() const { return GetParam().box; }
    // Runs while the box is open: the partner's thread floods.
    void Flood() {
        EXPECT_TRUE(InNestedLoop());
        sender = std::thread([this] {
            delivered = peer.Send(std::string(FloodBytes, 'x'));
            sent = true;
        });
        if (Box() == FloodBox::RefusedMove) {
            EXPECT_TRUE(PumpUntil([this] { return sent.load(); }));
            EXPECT_FALSE(delivered) << "the link is closed: the flood goes nowhere";
            return;
        }
        const int bound = TCustomWinSocket::ReadBound;
        EXPECT_TRUE(PumpUntil([&] { return HeldBytes() >= bound; }));
        PumpFor(300);
        EXPECT_EQ(HeldBytes(), bound);
        EXPECT_FALSE(sent) << "the partner is held back";
    }

    std::thread sender;
    std::atomic<bool> sent = false;
    std::atomic<bool> delivered = false;
};

TEST_P(NetFloodTest, TheSocketHoldsItsBoundWhileTheBoxIsOpen) {
    if (Box() == FloodBox::HostsQuestion) {
        ASSERT_NO_FATAL_FAILURE(CallTheHost());
    } else {
        ASSERT_NO_FATAL_FAILURE(HostMatch());
        SendData("R");
        ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    }
    const auto flood = [this] { Flood(); };
    switch (Box()) {
    case FloodBox::HostsQuestion:
        hook.ExpectMessageBox("Anna " + Text(76)).WhileOpen(flood).Press(IDYES);
        peer.Send("NAMEAnna|");
        break;
    case FloodBox::DrawQuestion:
        hook.ExpectMessageBox(Text(67)).WhileOpen(flood).Press(IDNO);
        SendData("TGO");
        break;
    case FloodBox::PartnersMessage:
        hook.ExpectMessageBox("look").WhileOpen(flood);
        peer.Send("MSGB:look|");
        break;
    case FloodBox::RefusedMove:
        // Korvel's user is to move: the partner's move comes out of turn.
        hook.ExpectMessageBox(Text(79) + " 1*20*-1*0").WhileOpen(flood);
        ExpectNextMatchQuit();
        SendData("1*20*-1*0");
        break;
    }
    ASSERT_TRUE(RunUntil([this] { return sent.load(); }, 120));
    sender.join();
    if (Box() == FloodBox::RefusedMove) {
        EXPECT_TRUE(RunUntil([this] { return Game().Link == nullptr; }, 20))
            << "the next match opens";
        return;
    }
    EXPECT_TRUE(delivered);
    peer.Send("|CHAT:after the flood|");
    ASSERT_TRUE(RunUntil([this] { return LinkLog().back() == "Anna: after the flood"; }, 20));
    EXPECT_EQ(LinkWindow()->LinkState, 3);
    if (Box() == FloodBox::HostsQuestion) {
        EXPECT_TRUE(peer.WaitFor("NAME:Bert|"));
    } else if (Box() == FloodBox::DrawQuestion) {
        EXPECT_TRUE(peer.WaitFor("DATA:TGN|"));
    }
    hook.Verify();
}

INSTANTIATE_TEST_SUITE_P(Boxes, NetFloodTest,
                         testing::Values(FloodCase{"HostsQuestion", FloodBox::HostsQuestion},
                                         FloodCase{"DrawQuestion", FloodBox::DrawQuestion},
                                         FloodCase{"PartnersMessage", FloodBox::PartnersMessage},
                                         FloodCase{"RefusedMove", FloodBox::RefusedMove}),
                         [](const testing::TestParamInfo<FloodCase>& info) {
                             return std::string(info.param.name);
                         });

// The partner's put that closes a line and its removal, both legal, come
// before the put has been executed here: in one read, while the
// high-score window is open, or after Korvel's user has offered a draw,
// with the partner's refusal behind them. The removal waits for its turn
// and both are executed, in order.
enum class LineMoment { OneRead, HighScoreWindowOpen, AfterOwnDrawOffer };

struct LineCase {
    const char* name;
    LineMoment moment;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class NetTwoMovesTest : public NetGameTest, public testing::WithParamInterface<LineCase> {};

TEST_P(NetTwoMovesTest, BothAreExecutedInOrder) {
    ASSERT_NO_FATAL_FAILURE(ReachThePartnersLine());
    switch (GetParam().moment) {
    case LineMoment::OneRead:
        peer.Send(LineAndRemoval);
        break;
    case LineMoment::HighScoreWindowOpen:
        hook.ExpectModal<THighScoreForm>().Fill([this](THighScoreForm& window) {
            peer.Send(LineAndRemoval);
            EXPECT_TRUE(PumpUntil([this] { return HeldBytes() == int(strlen(LineAndRemoval)); }))
                << "the moves wait in the socket while the window is open";
            EXPECT_EQ(HistoryCount(), historyBeforeLine);
            window.Button1->Click();
        });
        Form1->ShowHighscores1Click(nullptr);
        break;
    case LineMoment::AfterOwnDrawOffer:
        Form1->DrawGame1Click(nullptr);
        ASSERT_TRUE(peer.WaitFor("DATA:TGO|"));
        hook.ExpectMessageBox(Text(69)).Caption(Text(70));
        peer.Send(std::string(LineAndRemoval) + "DATA:TGN|");
        break;
    }
    EXPECT_TRUE(RunUntil([this] { return LineAndRemovalDone(); }, 20));
    EXPECT_EQ(LinkWindow()->LinkState, 3);
    EXPECT_EQ(hook.BoxesShown(Text(79) + " 4*9*-1*0"), 0);
    hook.Verify();
}

INSTANTIATE_TEST_SUITE_P(
    Moments, NetTwoMovesTest,
    testing::Values(LineCase{"OneRead", LineMoment::OneRead},
                    LineCase{"HighScoreWindowOpen", LineMoment::HighScoreWindowOpen},
                    LineCase{"AfterOwnDrawOffer", LineMoment::AfterOwnDrawOffer}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// A draw agreed while the partner's removal still waits ends the game: the
// removal belonged to it and is dropped, and the next game starts clean.
TEST_F(NetGameTest, AMoveWaitingWhenTheGameEndsIsDropped) {
    ASSERT_NO_FATAL_FAILURE(ReachThePartnersLine());
    hook.ExpectMessageBox(Text(67)).Press(IDYES);
    hook.ExpectMessageBox(Text(84)).Caption(Text(83));
    peer.Send(std::string(LineAndRemoval) + "DATA:TGO|");
    ASSERT_TRUE(peer.WaitFor("DATA:TGY|"));
    ASSERT_TRUE(RunUntil([this] { return HistoryCount() == 1 && PeerToMove(); }, 20))
        << "game 2 is begun by the partner";
    SendData(MoveToText(MoveRecord{4, -1, 0, Put}));
    ASSERT_TRUE(RunUntil([this] { return HumanToMove() && HistoryCount() == 2; }, 20));
    const BoardRecord board = CurrentBoard();
    EXPECT_EQ(std::count(std::begin(board.cell), std::end(board.cell), PeerColour()), 1)
        << "the partner's pieces of game 1 are gone";
    EXPECT_EQ(board.cell[4], PeerColour());
    EXPECT_EQ(LinkWindow()->LinkState, 3);
    hook.Verify();
}

// More moves of the partner's than can wait for their turn are a flood:
// the first that finds the queue full is refused, and the link is closed.
TEST_F(NetGameTest, AFloodOfMovesIsRefused) {
    ASSERT_NO_FATAL_FAILURE(HostMatch());
    SendData("R");
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }, 20));
    Play(MoveRecord{23, -1, 0, Put});
    ASSERT_TRUE(RunUntil([this] { return PeerToMove(); }, 20));
    std::string moves;
    const size_t count = TVellChatForm::MaxWaitingMoves + 2;
    for (size_t point = 0; point < count; ++point)
        moves += "DATA:" + MoveToText(MoveRecord{int32_t(point), -1, 0, Put}) + "|";
    const AnsiString refused = MoveToText(MoveRecord{int32_t(count - 1), -1, 0, Put});
    hook.ExpectMessageBox(Text(79) + " " + refused).Flags(MB_TASKMODAL | MB_ICONEXCLAMATION);
    ExpectNextMatchQuit();
    const int history = HistoryCount();
    peer.Send(moves);
    ASSERT_TRUE(RunUntil([this] { return peer.SawEnd(); }, 20));
    EXPECT_LE(HistoryCount(), history + 1) << "only the first move was the partner's turn";
    EXPECT_TRUE(RunUntil([this] { return Game().Link == nullptr; }, 20));
}

} // namespace
