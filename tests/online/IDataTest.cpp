#include <gtest/gtest.h>

#include <chrono>

#include "myunits/Utils.h"
#include "online/TIData.h"
#include "tests/online/OnlineFixture.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

using makerserver::MakerServer;
using makerserver::Received;
using makerserver::Reply;

class IDataTest : public OnlineFixture {
protected:
    TIData& IData() { return *Form1->IData; }
};

TEST_F(IDataTest, EveryStartCountsALaunch) {
    StartQuietProgram();
    EXPECT_EQ(UsageStore(), (std::vector<AnsiString>{"0", "1", "0"}));
    Restart();
    EXPECT_EQ(UsageStore(), (std::vector<AnsiString>{"0", "2", "0"}));
    StopProgram();
    // A damaged count starts again.
    StoreUsage({"0", "many", "0"});
    StartProgram();
    EXPECT_EQ(UsageStore()[1], "1");
}

TEST_F(IDataTest, TotalMinutesAreWholeMinutesOfTheStoredSeconds) {
    const std::pair<AnsiString, int> cases[] = {{"0", 0},   {"59", 0},    {"119", 1},
                                                {"120", 2}, {"3600", 60}, {"ten", 0}};
    for (const auto& [seconds, minutes] : cases) {
        StoreUsage({seconds});
        StartQuietProgram();
        EXPECT_EQ(IData().GetTotalMinutes(), minutes) << seconds;
        EXPECT_EQ(IData().GetSessionMinutes(), 0);
        StopProgram();
    }
}

// No tick starts the play timer, so the stored play time stays as it is.
TEST_F(IDataTest, TheUsageRequestCarriesTheRecordAndKeepsTheIssuedCustomerId) {
    MakerServer server;
    StoreUsage({"119"});
    StoreSettings({{GameSetting::GraphicsSet, "2"}, {GameSetting::TutorialCompleted, "1"}});
    StartIdleProgram();
    server.AnswerCustomerId("4711");
    IData().SendIData();
    const auto requests = server.RequestsTo(makerserver::UsageScript);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine(), "POST /cgi-bin/ID.pl HTTP/1.0");
    EXPECT_EQ(requests[0].body, "ID=0&Key=" + GetVersionString() + ":0:2:1:1&AppName=kvl");
    EXPECT_EQ(UsageStore()[2], "4711");
    EXPECT_EQ(IData().BuildIData(false), GetVersionString() + ":0:2:1");
    EXPECT_TRUE(hook.MessageBoxes().empty());
}

TEST_F(IDataTest, OnlyAnAcceptedReplyReplacesTheCustomerId) {
    MakerServer server;
    StartMatch();
    struct Step {
        Reply reply;
        const char* sentId;
        const char* keptId;
    };
    const Step steps[] = {
        {{200, "OK", "<cid>12</cid>"}, "0", "12"},
        {{500, "Internal Server Error", "<CID>13</CID>"}, "12", "12"},
        {{200, "Okay", "<CID>14</CID>"}, "12", "12"},
        {{200, "OK", "<CID>15"}, "12", ""},
        {{200, "OK", "x<CID> 16 </CID><CID>17</CID>"}, "", " 16 "},
    };
    for (const Step& step : steps) {
        server.Answer(makerserver::UsageScript, step.reply);
        IData().SendIData();
        const Received request = server.RequestsTo(makerserver::UsageScript).back();
        EXPECT_EQ(request.body.substr(0, request.body.find('&')), std::string("ID=") + step.sentId)
            << step.reply.body;
        EXPECT_EQ(UsageStore()[2], step.keptId) << step.reply.body;
    }
    EXPECT_EQ(hook.MessageBoxes().size(), 1u); // the welcome
}

// The play timer starts with the first tick; time counts only while the
// main window is the active window, so not while a dialog is up.
TEST_F(IDataTest, PlayTimeCountsOnlyWhileTheMainWindowIsActive) {
    StartQuietProgram();
    ExpectWelcome();
    AnsiString beforeTick;
    AnsiString afterTick;
    hook.ExpectModal<TPlayerSelectionForm>().Fill([&](TPlayerSelectionForm& form) {
        beforeTick = UsageStore()[0];
        IData().OnPlayTimer(nullptr);
        afterTick = UsageStore()[0];
        form.RadioButton1->Click();
        form.Edit2->Text = "Ann";
        form.Edit1->Text = "Bob";
        form.Button1->Click();
    });
    ASSERT_TRUE(WaitForHuman());
    EXPECT_EQ(afterTick, beforeTick) << "a tick of the play timer during the dialog";

    ASSERT_TRUE(RunUntil([&] { return IData().GetSessionMinutes() == 1; }));
    const int seconds = StrToInt(UsageStore()[0]);
    EXPECT_GE(seconds, 60);
    EXPECT_EQ(seconds % 10, 0);
    IData().OnPlayTimer(nullptr);
    EXPECT_EQ(StrToInt(UsageStore()[0]), seconds + 10);
    StopProgram();
    StartQuietProgram();
    EXPECT_EQ(IData().GetSessionMinutes(), 0);
    EXPECT_EQ(IData().GetTotalMinutes(), (seconds + 10) / 60);
}

TEST_F(IDataTest, WithoutTheMakersServerTheRequestFailsSilentlyAndQuickly) {
    StoreUsage({"0", "0", "31"});
    StartMatch();
    const auto start = std::chrono::steady_clock::now();
    IData().SendIData();
    EXPECT_LT(std::chrono::steady_clock::now() - start, QuickFailure);
    EXPECT_EQ(UsageStore()[2], "31");
    EXPECT_EQ(hook.MessageBoxes().size(), 1u); // the welcome
    Play(PutOn(0));
    EXPECT_NE(Board().cell[0], Empty);
}

} // namespace
