// Opening the link: waiting and calling on port 1024, the name handshake
// with the host's question, and the ways the link ends before and after it.

#include "net/TTCPConnectForm.h"
#include "tests/net/LinkFixture.h"
#include "web/WSocketFunctions.h"

namespace {

using LinkHandshakeTest = LinkFixture;

TEST_F(LinkHandshakeTest, TheHostShowsItsAddressesAndAsksItsUserBeforeAnswering) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    // The user sees the waiting texts and the addresses to tell the opponent.
    std::vector<AnsiString> waiting = {T(50), T(51)};
    TStrings* own = LocalIPList();
    for (int i = 0; i < own->Count; ++i)
        waiting.push_back(own->Strings[i]);
    EXPECT_EQ(Log(), waiting);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Caption(), T(310));
    EXPECT_FALSE(form->Edit1->Enabled());
    EXPECT_FALSE(form->Button1->Enabled());

    ASSERT_TRUE(CallKorvel());
    hook.ExpectMessageBox("Anna " + T(76)).Caption(T(77)).Flags(MB_YESNO).Press(IDYES);
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(peer.WaitFor("NAME:Bert|"));
    EXPECT_EQ(peer.Received(), "NAME:Bert|") << "exactly the answer, nothing before it";
    EXPECT_EQ(form->LinkState, 3);
    EXPECT_EQ(form->PeerName, "Anna");
    EXPECT_EQ(form->Caption(), T(78) + " Anna");
    EXPECT_EQ(Log(), std::vector<AnsiString>{T(78) + " Anna"});
    EXPECT_TRUE(form->Edit1->Enabled());
    EXPECT_TRUE(form->Button1->Enabled());
    EXPECT_EQ(form->Established, 1);
    EXPECT_EQ(form->Closed, 0);
}

TEST_F(LinkHandshakeTest, TheCallerSendsItsNameAndIsLinkedByTheHostsAnswer) {
    ASSERT_NO_FATAL_FAILURE(StartAsCaller());
    EXPECT_EQ(Log().front(), T(52) + " 127.0.0.1");
    ASSERT_TRUE(AnswerKorvel());
    ASSERT_TRUE(peer.WaitFor("NAMEBert|"));
    EXPECT_EQ(peer.Received(), "NAMEBert|") << "no colon in the caller's name message";
    EXPECT_EQ(form->LinkState, 1);
    EXPECT_EQ(Log(), std::vector<AnsiString>{T(53)});
    EXPECT_FALSE(form->Button1->Enabled());

    peer.Send("NAME:Anna|");
    ASSERT_TRUE(PumpUntil([this] { return form->LinkState == 3; }));
    EXPECT_EQ(form->PeerName, "Anna");
    EXPECT_EQ(form->Caption(), T(78) + " Anna");
    EXPECT_EQ(Log(), std::vector<AnsiString>{T(78) + " Anna"});
    EXPECT_TRUE(form->Edit1->Enabled());
    EXPECT_EQ(form->Established, 1);
}

TEST_F(LinkHandshakeTest, ANameSentAgainAfterTheHandshakeStartsNothing) {
    ASSERT_NO_FATAL_FAILURE(LinkAsCaller());
    peer.Send("NAME:Mallory|CHAT:still Anna|");
    ASSERT_TRUE(PumpUntil([this] { return Log().size() == 2; }));
    EXPECT_EQ(form->Established, 1);
    EXPECT_EQ(form->PeerName, "Anna");
    EXPECT_EQ(Log().back(), "Anna: still Anna");
}

TEST_F(LinkHandshakeTest, TheHostDecliningLeavesItWaitingAndTheCallerSeesText59) {
    // Korvel hosts and its user says No: the caller is dropped, the window
    // goes on showing the waiting state.
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    const std::vector<AnsiString> waiting = Log();
    ASSERT_TRUE(CallKorvel());
    hook.ExpectMessageBox("Anna " + T(76)).Press(IDNO);
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(peer.WaitForEnd());
    EXPECT_EQ(peer.Received(), "");
    EXPECT_EQ(form->LinkState, 2);
    EXPECT_EQ(Log(), waiting);
    EXPECT_FALSE(form->ServerSocket1->Active());
    EXPECT_EQ(form->Closed, 0);
}

// While the host's question is open, a second caller is hung up at once,
// and the caller's name sent again raises no second question.
TEST_F(LinkHandshakeTest, TheHostAsksOnlyOnceWhileItsQuestionIsOpen) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    ASSERT_TRUE(CallKorvel());
    TestPeer stranger;
    hook.ExpectMessageBox("Anna " + T(76)).Press(IDYES).WhileOpen([&] {
        peer.Send("NAMEAnna|NAMEEve|");
        stranger = TestPeer::Connect(LinkPort);
        ASSERT_TRUE(stranger.Valid());
        stranger.Send("NAMEMallory|");
        EXPECT_TRUE(stranger.WaitForEnd()) << "hung up at once";
        PumpFor(200);
        EXPECT_EQ(form->LinkState, 2) << "still asking";
    });
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(peer.WaitFor("NAME:Bert|"));
    PumpFor(200);
    EXPECT_EQ(hook.MessageBoxes().size(), 1u);
    EXPECT_EQ(peer.Received(), "NAME:Bert|");
    EXPECT_EQ(form->PeerName, "Anna");
    EXPECT_EQ(form->Established, 1);
    EXPECT_EQ(stranger.Received(), "");
}

// The caller leaves while the host's user is still being asked: the Yes
// that follows starts nothing.
TEST_F(LinkHandshakeTest, ACallerLeavingWhileTheHostAsksStartsNothing) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    ASSERT_TRUE(CallKorvel());
    hook.ExpectMessageBox("Anna " + T(76)).Press(IDYES).WhileOpen([&] {
        peer.Close();
        EXPECT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    });
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1 && !hook.MessageBoxes().empty(); }));
    PumpFor(100);
    EXPECT_EQ(form->Established, 0);
    EXPECT_EQ(form->Closed, 1);
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_EQ(Log().back(), "Disconnected");
    EXPECT_FALSE(form->Button1->Enabled());
}

TEST_F(LinkHandshakeTest, TheCallerSeesText59WhenTheHostDeclines) {
    ASSERT_NO_FATAL_FAILURE(StartAsCaller());
    ASSERT_TRUE(AnswerKorvel());
    ASSERT_TRUE(peer.WaitFor("NAMEBert|"));
    hook.ExpectMessageBox(T(59)).Caption(T(61)).Flags(MB_TASKMODAL);
    peer.Close();
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_EQ(Log().back(), "Disconnected");
    EXPECT_EQ(form->Established, 0);
}

TEST_F(LinkHandshakeTest, ARefusedCallShowsTheErrorCode) {
    hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
        dialog.Edit1->Text = "127.0.0.1";
        dialog.Button1->Click();
    });
    ASSERT_TRUE(form->StartConnection("Bert")); // nobody listens on 1024
    hook.ExpectMessageBox(T(54) + " 10061").Caption(T(55)).Flags(MB_TASKMODAL | MB_ICONEXCLAMATION);
    ASSERT_TRUE(PumpUntil([this] { return form->Closed == 1; }));
    const std::vector<AnsiString> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], T(56) + " 10061 " + T(57));
    EXPECT_EQ(log.back(), "Disconnected");
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_FALSE(form->Timer1->Enabled());
}

TEST_F(LinkHandshakeTest, AbortConnectionBeforeAnyPartnerShowsText66AndFreesThePort) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    hook.ExpectMessageBox(T(66)).Caption(T(61)).Flags(MB_TASKMODAL);
    form->Button2->Click();
    EXPECT_EQ(form->Closed, 1);
    EXPECT_EQ(form->LinkState, 0);
    EXPECT_FALSE(form->ServerSocket1->Active());
    EXPECT_FALSE(CallKorvel()) << "nobody listens any more";
}

TEST_F(LinkHandshakeTest, CancellingTheDialogOpensNothing) {
    hook.ExpectModal<TTCPConnectForm>().Result(mrCancel);
    EXPECT_FALSE(form->StartConnection("Bert"));
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->ServerSocket1->Active());
    EXPECT_FALSE(form->ClientSocket1->Active());
    EXPECT_EQ(form->OwnName, "Bert");
}

TEST_F(LinkHandshakeTest, ASecondStartWhileASocketIsActiveIsRefused) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    EXPECT_FALSE(form->StartConnection("Bert")) << "no second dialog";
    EXPECT_EQ(hook.ModalForms().size(), 1u);
}

TEST_F(LinkHandshakeTest, APortInUseIsReportedAndNothingStarts) {
    ASSERT_NO_THROW(listener.emplace(LinkPort));
    hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
        dialog.RadioButton2->Click();
        dialog.Button1->Click();
    });
    hook.ExpectMessageBox(T(54) + " 10048").Caption(T(55)).Flags(MB_TASKMODAL | MB_ICONEXCLAMATION);
    EXPECT_FALSE(form->StartConnection("Bert"));
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->LinkState, 0);
}

TEST_F(LinkHandshakeTest, TheWaitingHostGrowsARowOfMarks) {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    std::vector<AnsiString> log = Log();
    form->Timer1Timer(form->Timer1);
    form->Timer1Timer(form->Timer1);
    log.push_back(".*..*."); // under the addresses, not glued to the last one
    EXPECT_EQ(Log(), log);
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 3000u);

    ASSERT_TRUE(CallKorvel());
    hook.ExpectMessageBox("Anna " + T(76)).Press(IDYES);
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(PumpUntil([this] { return form->LinkState == 3; }));
    log = Log();
    form->Timer1Timer(form->Timer1);
    EXPECT_EQ(Log(), log) << "no marks once linked";
}

} // namespace
