// The linked window: chat both ways, game data, the framing of messages
// over reads, the end of the link, and what the peer's bad input does.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <chrono>
#include <random>

#include "tests/net/LinkFixture.h"

namespace {

class LinkTrafficTest : public LinkFixture {
protected:
    // Waits until the log has this many lines.
    bool LogReaches(size_t lines, int milliseconds = WaitBoundMs) {
        return PumpUntil([&] { return Log().size() >= lines; }, milliseconds);
    }
    // A chat line that the peer sends after bad input arrives intact: the
    // link still works.
    void ExpectStillLinked() {
        const size_t before = Log().size();
        peer.Send("CHAT:still here|");
        ASSERT_TRUE(LogReaches(before + 1));
        EXPECT_EQ(Log().back(), "Anna: still here");
        Say("me too");
        EXPECT_TRUE(peer.WaitFor("CHAT:me too|"));
        EXPECT_EQ(form->LinkState, 3);
        EXPECT_EQ(form->Closed, 0);
    }
};

TEST_F(LinkTrafficTest, ChatGoesBothWaysOnTheHostsSide) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    Say("hello");
    EXPECT_TRUE(peer.WaitFor("NAME:Bert|CHAT:hello|"));
    EXPECT_EQ(form->Edit1->Text(), "");
    peer.Send("CHAT:hi Bert|");
    ASSERT_TRUE(LogReaches(3));
    EXPECT_EQ(Log(), (std::vector<AnsiString>{T(78) + " Anna", "Bert: hello", "Anna: hi Bert"}));
}

TEST_F(LinkTrafficTest, ChatGoesBothWaysOnTheCallersSide) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    peer.Send("CHAT:hi Bert|");
    ASSERT_TRUE(LogReaches(2));
    Say("");
    EXPECT_TRUE(peer.WaitFor("NAMEBert|CHAT:|")) << "an empty line travels as CHAT: alone";
    EXPECT_EQ(Log(), (std::vector<AnsiString>{T(78) + " Anna", "Anna: hi Bert", "Bert: "}));
}

// Enter sends the chat line only from the input line: the Send button is
// no default button, so Enter on the log or on the window sends nothing.
struct EnterCase {
    const char* name;
    TWinControl* (*target)(TTChatForm& form);
    bool sends;
};

void PrintTo(const EnterCase& c, std::ostream* os) {
    *os << c.name;
}

class LinkEnterTest : public LinkTrafficTest, public testing::WithParamInterface<EnterCase> {
protected:
    static void PressEnter(TWinControl& control) {
        control.SetFocus();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(control.Widget(), &event);
    }
};

TEST_P(LinkEnterTest, SendsOnlyFromTheInputLine) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    form->Edit1->Text = "typed";
    PressEnter(*GetParam().target(*form));
    EXPECT_EQ(form->Edit1->Text(), GetParam().sends ? "" : "typed");
    Say("said");
    ASSERT_TRUE(peer.WaitFor("CHAT:said|"));
    if (GetParam().sends) {
        EXPECT_EQ(peer.Received(), "NAMEBert|CHAT:typed|CHAT:said|");
        EXPECT_EQ(Log(), (std::vector<AnsiString>{T(78) + " Anna", "Bert: typed", "Bert: said"}));
    } else {
        EXPECT_EQ(peer.Received(), "NAMEBert|CHAT:said|");
        EXPECT_EQ(Log(), (std::vector<AnsiString>{T(78) + " Anna", "Bert: said"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LinkEnterTest,
    testing::Values(
        EnterCase{"InTheInputLine", [](TTChatForm& f) -> TWinControl* { return f.Edit1; }, true},
        EnterCase{"InTheLog", [](TTChatForm& f) -> TWinControl* { return f.Memo1; }, false},
        EnterCase{"OnTheWindow", [](TTChatForm& f) -> TWinControl* { return &f; }, false}),
    [](const testing::TestParamInfo<EnterCase>& info) { return std::string(info.param.name); });

TEST_F(LinkTrafficTest, EnterBeforeTheLinkSendsAndLogsNothing) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    const std::vector<AnsiString> log = Log();
    form->Edit1->Text = "early";
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->Edit1->Widget(), &event);
    WORD key = VK_RETURN;
    form->Edit1KeyDown(form->Edit1, key, TShiftState());
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(form->Edit1->Text(), "early");
}

TEST_F(LinkTrafficTest, MessagesOfOneReadAreDispatchedInOrder) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    peer.Send("CHAT:first|DATA:1*5*-1*-1|CHAT:second NAME DATA|DATA:|CHAT:third");
    ASSERT_TRUE(LogReaches(3));
    PumpFor(100);
    EXPECT_EQ(Log(),
              (std::vector<AnsiString>{T(78) + " Anna", "Anna: first", "Anna: second NAME DATA"}))
        << "a protocol word inside a chat text is text; the unended third waits";
    EXPECT_EQ(form->Payloads, std::vector<AnsiString>{"1*5*-1*-1"}) << "DATA: alone is ignored";
    peer.Send(" line|");
    ASSERT_TRUE(LogReaches(4));
    EXPECT_EQ(Log().back(), "Anna: third line");
}

TEST_F(LinkTrafficTest, AMessageSplitOverTwoReadsIsPutTogether) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    peer.Send("CHAT:hal");
    ASSERT_TRUE(peer.WaitUntilTaken()) << "Korvel reads the first half on its own";
    EXPECT_EQ(Log().size(), 1u) << "nothing is shown of a message before its end";
    peer.Send("f a line|DA");
    ASSERT_TRUE(LogReaches(2));
    EXPECT_EQ(Log().back(), "Anna: half a line");
    ASSERT_TRUE(peer.WaitUntilTaken());
    peer.Send("TA:R|");
    ASSERT_TRUE(PumpUntil([this] { return form->Payloads.size() == 1; }));
    EXPECT_EQ(form->Payloads.front(), "R");
}

TEST_F(LinkTrafficTest, SendDataTravelsThroughSendLineOnlyWhileConnected) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    form->SendLine("DATA:R|");
    EXPECT_TRUE(peer.WaitFor("NAMEBert|DATA:R|"));
    hook.ExpectMessageBox(T(64)).Caption(T(65));
    form->Button2->Click();
    form->SendLine("DATA:TGO|"); // nothing: the link is closed
    EXPECT_TRUE(peer.WaitForEnd());
    EXPECT_EQ(peer.Received(), "NAMEBert|DATA:R|");
}

TEST_F(LinkTrafficTest, TheHostsPartnerVanishingShowsText64) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    hook.ExpectMessageBox(T(64)).Caption(T(65)).Flags(MB_TASKMODAL);
    peer.Close();
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_EQ(Log().back(), "Disconnected");
    EXPECT_FALSE(form->Edit1->Enabled());
    EXPECT_FALSE(form->Button1->Enabled());
    EXPECT_FALSE(form->Timer1->Enabled());
}

TEST_F(LinkTrafficTest, TheCallersPartnerVanishingShowsText60) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    hook.ExpectMessageBox(T(60)).Caption(T(61)).Flags(MB_TASKMODAL);
    peer.Close();
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_FALSE(form->Button1->Enabled());
}

TEST_F(LinkTrafficTest, AResetLinkShowsTheErrorAndThenTheLoss) {
    // The caller's system reports the reset as error 10054.
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    hook.ExpectMessageBox(T(54) + " 10054").Caption(T(55));
    hook.ExpectMessageBox(T(60)).Caption(T(61));
    peer.Send("CHAT:bye|");
    peer.Reset();
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_EQ(form->Closed, 1) << "the end is reported once";
}

TEST_F(LinkTrafficTest, AResetOnTheHostsSideIsOnlyLogged) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    hook.ExpectMessageBox(T(64)).Caption(T(65));
    peer.Reset();
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    const std::vector<AnsiString> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], T(62) + " 10054 " + T(63));
    EXPECT_EQ(log.back(), "Disconnected");
}

TEST_F(LinkTrafficTest, AbortConnectionWhileLinkedShowsText64AndEndsTheLink) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    hook.ExpectMessageBox(T(64)).Caption(T(65)).Flags(MB_TASKMODAL);
    form->Button2->Click();
    EXPECT_EQ(form->Closed, 1);
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_TRUE(peer.WaitForEnd());
}

TEST_F(LinkTrafficTest, ClosingTheWindowWhileLinkedAsksFirst) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    const AnsiString question = T(75) + " Anna?";
    hook.ExpectMessageBox(question)
        .Caption(T(45) + " Anna")
        .Flags(MB_YESNO | MB_TASKMODAL)
        .Press(IDNO);
    form->Close();
    EXPECT_TRUE(form->Visible()) << "No keeps the window and the link";
    EXPECT_EQ(form->LinkState, 3);
    hook.ExpectMessageBox(question).Press(IDYES);
    hook.ExpectMessageBox(T(64)).Caption(T(65));
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_EQ(form->Closed, 1);
}

TEST_F(LinkTrafficTest, ASecondCallerCanNeitherSpeakNorEndTheLink) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    TestPeer stranger = TestPeer::Connect(LinkPort);
    ASSERT_TRUE(stranger.Valid());
    stranger.Send("NAMEMallory|CHAT:hello|");
    EXPECT_TRUE(stranger.WaitForEnd()) << "hung up at once";
    stranger.Close();
    PumpFor(200);
    // The user sees no question and no line of the stranger's.
    EXPECT_EQ(Log().size(), 1u);
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

TEST_F(LinkTrafficTest, GarbageBytesAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    std::mt19937 random(7);
    std::string garbage;
    for (int i = 0; i < 20000; ++i) {
        char c = static_cast<char>(random() % 256);
        garbage += c == 'C' || c == 'D' || c == 'N' || c == 'M' ? 'x' : c;
    }
    garbage += std::string("\0\xff|\r\n|||", 8);
    peer.Send(garbage);
    ASSERT_TRUE(peer.WaitUntilTaken());
    // The user sees nothing of it.
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_TRUE(form->Payloads.empty());
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

TEST_F(LinkTrafficTest, ABodyThatGrowsPastTheBoundIsDropped) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    const std::string block(16384, 'a');
    peer.Send("CHAT:");
    // A read for each block: the body grows over many reads.
    for (size_t sent = 0; sent <= TTChatForm::MaxBodyLength * 2; sent += block.size()) {
        peer.Send(block);
        ASSERT_TRUE(peer.WaitUntilTaken());
    }
    peer.Send("CHAT:not shown, the end of the long one|CHAT:after it|");
    ASSERT_TRUE(LogReaches(2));
    PumpFor(100);
    // The user sees only the message after the dropped one.
    EXPECT_EQ(Log(), (std::vector<AnsiString>{T(78) + " Anna", "Anna: after it"}));
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

TEST_F(LinkTrafficTest, ABodyJustWithinTheBoundArrives) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    const std::string text(TTChatForm::MaxBodyLength - 5, 'b');
    for (size_t at = 0; at < text.size(); at += 8000) {
        peer.Send((at == 0 ? "CHAT:" : "") + text.substr(at, 8000));
        ASSERT_TRUE(peer.WaitUntilTaken());
    }
    peer.Send("|");
    ASSERT_TRUE(LogReaches(2));
    EXPECT_EQ(Log().back(), "Anna: " + text);
}

TEST_F(LinkTrafficTest, AMessageBoxTextIsShownWithAnEmptyCaption) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    const int flags = MB_TASKMODAL | MB_ICONEXCLAMATION;
    const size_t before = hook.MessageBoxes().size();
    hook.ExpectMessageBox("Look out!").Caption("").Flags(flags);
    // MSGB without a colon shows an empty box.
    hook.ExpectMessageBox("").Caption("").Flags(flags);
    peer.Send("MSGB:Look out!|MSGB|");
    ASSERT_TRUE(PumpUntil([&] { return hook.MessageBoxes().size() == before + 2; }));
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

// Boxes never pile up. A read handled while one of the peer's boxes is
// open shows no second box, though its chat is logged; what the peer sends
// on while the box is open waits for the answer and is handled after it.
TEST_F(LinkTrafficTest, OnlyOneOfThePeersMessageBoxesIsOpenAtATime) {
    ASSERT_NO_FATAL_FAILURE(LinkAsHost());
    const size_t before = hook.MessageBoxes().size();
    hook.ExpectMessageBox("first").WhileOpen([&] {
        form->ProcessReceivedText("MSGB:second|CHAT:meanwhile|");
        EXPECT_EQ(Log().back(), "Anna: meanwhile");
        peer.Send("MSGB:third|CHAT:later|");
        PumpFor(200);
        EXPECT_EQ(hook.MessageBoxes().size(), before + 1);
    });
    hook.ExpectMessageBox("third");
    peer.Send("MSGB:first|");
    ASSERT_TRUE(LogReaches(3));
    const std::vector<MessageBoxCall>& boxes = hook.MessageBoxes();
    ASSERT_EQ(boxes.size(), before + 2);
    EXPECT_EQ(boxes[before].Text, "first");
    EXPECT_EQ(boxes[before + 1].Text, "third");
    EXPECT_EQ(Log().back(), "Anna: later");
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

TEST_F(LinkTrafficTest, AFloodOfMessagesIsHandledInOrder) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    std::string flood;
    for (int i = 0; i < 20000; ++i)
        flood += "DATA:R|";
    for (int i = 0; i < 300; ++i)
        flood += "CHAT:" + std::to_string(i) + "|";
    const auto start = std::chrono::steady_clock::now();
    peer.Send(flood);
    ASSERT_TRUE(LogReaches(301, 60000));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(form->Payloads.size(), 20000u);
    EXPECT_EQ(Log()[1], "Anna: 0");
    EXPECT_EQ(Log().back(), "Anna: 299");
    RecordProperty(
        "flood_ms",
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

// A long chat costs neither time nor memory without end: the log keeps its
// newest lines, as many as MaxLogLines and MaxLogLength allow.
TEST_F(LinkTrafficTest, TheLogKeepsItsNewestLines) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    const int lines = TTChatForm::MaxLogLines + 500;
    std::string burst;
    for (int i = 0; i < lines; ++i)
        burst += "CHAT:" + std::to_string(i) + "|";
    peer.Send(burst);
    const AnsiString last = "Anna: " + std::to_string(lines - 1);
    ASSERT_TRUE(PumpUntil([&] { return Log().back() == last; }));
    std::vector<AnsiString> log = Log();
    ASSERT_EQ(log.size(), size_t(TTChatForm::MaxLogLines));
    EXPECT_EQ(log.front(), "Anna: 500");
    EXPECT_EQ(log.back(), last);

    const AnsiString longLine = "Anna: " + std::string(60000, 'w');
    for (int i = 0; i < 20; ++i)
        peer.Send("CHAT:" + longLine.substr(6) + "|");
    peer.Send("CHAT:end|");
    ASSERT_TRUE(PumpUntil([&] { return Log().back() == "Anna: end"; }));
    log = Log();
    EXPECT_EQ(log[log.size() - 2], longLine);
    const int length = form->Memo1->GetTextLen();
    EXPECT_LE(length, TTChatForm::MaxLogLength);
    EXPECT_GT(length + int(longLine.size()) + 2, TTChatForm::MaxLogLength)
        << "only as many old lines go as the bound asks";
    ASSERT_NO_FATAL_FAILURE(ExpectStillLinked());
}

} // namespace
