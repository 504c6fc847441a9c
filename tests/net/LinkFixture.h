#pragma once
// A link window under test, its language texts and the test's own peer,
// which calls Korvel or takes Korvel's call on port 1024 and is driven by
// the test byte by byte. The window records what it tells its subclass
// (the game).

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "myunits/LANGUAGE.h"
#include "net/TTChatForm.h"
#include "platform/vcl/TestHook.h"
#include "tests/net/LinkPort.h"
#include "tests/support/ProgramData.h"
#include "tests/support/Pump.h"
#include "tests/support/ScopedClockScale.h"
#include "tests/support/TestListener.h"
#include "tests/support/TestPeer.h"

class RecordingChatForm : public TTChatForm {
public:
    using TTChatForm::TTChatForm;

    void ConnectionClosed() override { ++Closed; }
    void ConnectionEstablished() override { ++Established; }
    void DataReceived(const AnsiString& payload) override { Payloads.push_back(payload); }

    int Closed = 0;
    int Established = 0;
    std::vector<AnsiString> Payloads;
};

class LinkFixture : public testing::Test {
protected:
    LinkFixture();
    ~LinkFixture() override;

    AnsiString T(int number) { return languages.GetString(number); }
    std::vector<AnsiString> Log() const;
    // Korvel waits for the call; the peer has not called yet.
    void StartAsHost();
    // Korvel calls the peer, which listens; the call is not answered yet.
    void StartAsCaller();
    // Korvel ("Bert") hosts and accepts the peer ("Anna").
    void LinkAsHost();
    // Korvel ("Bert") calls the peer ("Anna"), which answers.
    void LinkAsCaller();
    // Korvel's user types a chat line and sends it.
    void Say(const AnsiString& line);
    // The peer calls the waiting Korvel.
    bool CallKorvel();
    // The peer takes Korvel's call.
    bool AnswerKorvel();

    LinkPortLock portLock;
    // The waiting host's marks come from a timer of three seconds: on this
    // clock it never fires by itself, so the log holds only what the test
    // makes happen.
    ScopedClockScale stoppedClock{1e-4};
    TMyLanguages languages;
    TestHook hook;
    // Where Korvel's call arrives, while the test listens for it.
    std::optional<TestListener> listener;
    TestPeer peer;
    RecordingChatForm* form;
};
