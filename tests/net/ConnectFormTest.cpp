// The connect dialog: the address test, the two choices, the local
// addresses, the invalid-address warning, help and the web page.

#include <sys/stat.h>

#include <fstream>

#include "net/TTCPConnectForm.h"
#include "tests/net/LinkFixture.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "web/WSocketFunctions.h"

namespace {

struct AddressCase {
    const char* text;
    bool valid;
};

const AddressCase AddressCases[] = {
    {"192.168.0.1", true}, {"001.002.003.004", true},
    {"0.0.0.0", true},     {"255.255.255.255", true},
    {"127.0.0.1", true},   {"192.168.0.256", false},
    {"1.2.3", false},      {"1.2.3.4.5", false},
    {".1.2.3", false},     {"1..2.3", false},
    {"1.2.3.4.", false},   {"1234.1.1.1", false},
    {"1.2.3.a", false},    {"", false},
    {" 1.2.3.4", false},   {"1.2.3.4 ", false},
    {"1.2.3.-4", false},   {"0255.1.1.1", false},
    {"999.1.1.1", false},  {"...", false},
    {"1.2.3.0004", false},
};

TEST(IsValidIPAddress, AcceptsExactlyFourGroupsOfAtMost255) {
    for (const AddressCase& c : AddressCases)
        EXPECT_EQ(TTCPConnectForm::IsValidIPAddress(c.text), c.valid) << '"' << c.text << '"';
}

class ConnectFormTest : public testing::Test {
protected:
    ConnectFormTest() : languages(ProgramFile("Languages.rc"), true) {}

    AnsiString T(int number) { return languages.GetString(number); }
    // Shows the dialog modally as StartConnection does; `fill` acts as the user.
    int Run(std::function<void(TTCPConnectForm&)> fill) {
        hook.ExpectModal<TTCPConnectForm>().Fill(std::move(fill));
        TTCPConnectForm dialog(nullptr);
        return dialog.ShowModal();
    }

    TMyLanguages languages;
    TestHook hook;
};

TEST_F(ConnectFormTest, OpensInCallModeWithOKDisabledAndTheOwnAddressesReady) {
    std::vector<AnsiString> own;
    TStrings* list = LocalIPList();
    for (int i = 0; i < list->Count; ++i)
        own.push_back(list->Strings[i]);
    ASSERT_FALSE(own.empty()) << "this machine has an address";
    const int result = Run([&](TTCPConnectForm& dialog) {
        EXPECT_EQ(dialog.Caption(), T(320));
        EXPECT_EQ(dialog.RadioButton1->Caption(), T(322));
        EXPECT_EQ(dialog.Label1->Caption(), T(151));
        EXPECT_TRUE(dialog.RadioButton1->Checked());
        EXPECT_TRUE(dialog.GroupBox1->Visible());
        EXPECT_FALSE(dialog.GroupBox2->Visible());
        EXPECT_FALSE(dialog.Button1->Enabled());
        std::vector<AnsiString> shown;
        for (int i = 0; i < dialog.Memo1->Lines->Count; ++i)
            shown.push_back(dialog.Memo1->Lines->Strings[i]);
        EXPECT_EQ(shown, own);
        EXPECT_EQ(dialog.GroupBox2->Caption(), T(own.size() == 1 ? 127 : 128));
        dialog.Button2->Click();
    });
    EXPECT_EQ(result, mrCancel);
}

TEST_F(ConnectFormTest, OKFollowsTheAddressInCallModeAndIsFreeInWaitMode) {
    const int result = Run([](TTCPConnectForm& dialog) {
        dialog.Edit1->Text = "10.0.0";
        EXPECT_FALSE(dialog.Button1->Enabled());
        dialog.Edit1->Text = "10.0.0.7";
        EXPECT_TRUE(dialog.Button1->Enabled());
        dialog.Edit1->Text = "10.0.0.777";
        EXPECT_FALSE(dialog.Button1->Enabled());

        dialog.RadioButton2->Click();
        EXPECT_TRUE(dialog.Button1->Enabled()) << "waiting needs no address";
        EXPECT_FALSE(dialog.GroupBox1->Visible());
        EXPECT_TRUE(dialog.GroupBox2->Visible());

        dialog.RadioButton1->Click();
        EXPECT_FALSE(dialog.Button1->Enabled()) << "the typed address is still invalid";
        EXPECT_TRUE(dialog.GroupBox1->Visible());
        EXPECT_FALSE(dialog.GroupBox2->Visible());
        dialog.Edit1->Text = "10.0.0.77";
        dialog.Button1->Click();
    });
    EXPECT_EQ(result, mrOk);
}

TEST_F(ConnectFormTest, EnterDoesNotAcceptAnInvalidAddress) {
    // The address box loses the focus when the dialog closes: the warning.
    hook.ExpectMessageBox(T(124)).Caption(T(125));
    const int result = Run([](TTCPConnectForm& dialog) {
        dialog.Edit1->Text = "10.0.0";
        dialog.Edit1->SetFocus();
        dialog.PressDialogKey(false);
        EXPECT_EQ(dialog.ModalResult(), mrNone);
        dialog.Button2->Click();
    });
    EXPECT_EQ(result, mrCancel);
}

TEST_F(ConnectFormTest, LeavingTheAddressBoxInvalidWarns) {
    hook.ExpectMessageBox(T(124)).Caption(T(125)).Flags(MB_ICONEXCLAMATION).Times(2);
    Run([](TTCPConnectForm& dialog) {
        dialog.Edit1Exit(dialog.Edit1); // left empty
        dialog.Edit1->Text = "1.2.3.4.";
        dialog.Edit1Exit(dialog.Edit1);
        dialog.Edit1->Text = "1.2.3.4";
        dialog.Edit1Exit(dialog.Edit1); // valid: no warning
        dialog.Button2->Click();
    });
}

TEST_F(ConnectFormTest, HelpOpensTheConnectionTopic) {
    Run([](TTCPConnectForm& dialog) {
        dialog.Button3->Click();
        dialog.Button2->Click();
    });
    EXPECT_EQ(hook.HelpTopics(), std::vector<AnsiString>{"IDH_Verbindung"});
}

TEST_F(ConnectFormTest, TheWebButtonOpensThePageOfText653) {
    const TempFolder folder("open");
    const std::string opened = folder.File("opened");
    folder.Write("open", "#!/bin/sh\necho \"$1\" > " + opened + "\n");
    ::chmod(folder.File("open").c_str(), 0755);
    const ScopedEnv opener("KORVEL_OPEN_COMMAND", folder.File("open").c_str());
    Run([](TTCPConnectForm& dialog) {
        dialog.Button4->Click();
        dialog.Button2->Click();
    });
    std::string line;
    ASSERT_TRUE(PumpUntil([&] {
        std::ifstream file(opened);
        return bool(std::getline(file, line));
    }));
    EXPECT_EQ(line, T(653));
}

} // namespace
