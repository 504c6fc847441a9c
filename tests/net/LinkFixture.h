#pragma once
// A link window under test, its language texts and the test's own peer.
// The window records what it tells its subclass (the game).

#include <gtest/gtest.h>

#include <vector>

#include "myunits/LANGUAGE.h"
#include "net/TTChatForm.h"
#include "platform/vcl/TestHook.h"
#include "tests/net/LinkPeer.h"

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

AnsiString ProgramFile(const char* name);

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

    TMyLanguages languages;
    TestHook hook;
    LinkPeer peer;
    RecordingChatForm* form;
};
