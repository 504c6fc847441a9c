#include "tests/net/LinkFixture.h"

#include "net/TTCPConnectForm.h"

LinkFixture::LinkFixture()
    : languages(ProgramFile("Languages.rc"), true), form(new RecordingChatForm(nullptr)) {}

LinkFixture::~LinkFixture() {
    delete form;
}

std::vector<AnsiString> LinkFixture::Log() const {
    std::vector<AnsiString> lines;
    for (int i = 0; i < form->Memo1->Lines->Count; ++i)
        lines.push_back(form->Memo1->Lines->Strings[i]);
    return lines;
}

void LinkFixture::StartAsHost() {
    hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
        dialog.RadioButton2->Click();
        dialog.Button1->Click();
    });
    ASSERT_TRUE(form->StartConnection("Bert"));
    ASSERT_TRUE(form->IsServer());
    ASSERT_EQ(form->LinkState, 2);
}

void LinkFixture::StartAsCaller() {
    ASSERT_NO_THROW(listener.emplace(LinkPort));
    hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
        dialog.Edit1->Text = "127.0.0.1";
        dialog.Button1->Click();
    });
    ASSERT_TRUE(form->StartConnection("Bert"));
    ASSERT_FALSE(form->IsServer());
}

void LinkFixture::LinkAsHost() {
    ASSERT_NO_FATAL_FAILURE(StartAsHost());
    ASSERT_TRUE(CallKorvel());
    hook.ExpectMessageBox("Anna " + T(76)).Caption(T(77)).Flags(MB_YESNO).Press(IDYES);
    peer.Send("NAMEAnna|");
    ASSERT_TRUE(peer.WaitFor("NAME:Bert|"));
    ASSERT_EQ(form->LinkState, 3);
}

void LinkFixture::LinkAsCaller() {
    ASSERT_NO_FATAL_FAILURE(StartAsCaller());
    ASSERT_TRUE(AnswerKorvel());
    ASSERT_TRUE(peer.WaitFor("NAMEBert|"));
    ASSERT_EQ(form->LinkState, 1);
    peer.Send("NAME:Anna|");
    ASSERT_TRUE(PumpUntil([this] { return form->LinkState == 3; }));
}

void LinkFixture::Say(const AnsiString& line) {
    form->Edit1->Text = line;
    form->Button1->Click();
}

bool LinkFixture::CallKorvel() {
    peer = TestPeer::Connect(LinkPort);
    return peer.Valid();
}

bool LinkFixture::AnswerKorvel() {
    peer = listener->Accept();
    return peer.Valid();
}
