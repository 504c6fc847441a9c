#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "myunits/Utils.h"
#include "online/TUpdateNotification.h"
#include "online/UpdateCheck.h"
#include "tests/online/OnlineFixture.h"
#include "tests/web/HttpConnectorTestSupport.h"

namespace {

using makerserver::MakerServer;
using makerserver::Reply;

enum class Server { NoUpdate, Update, Refused };

struct Box {
    const char* text;
    const char* caption;
};

struct UpdateCase {
    int mode;
    int quiet;
    Server server;
    // The notice's answer when it is shown: Yes or No, and the box.
    std::optional<TModalResult> answer;
    bool neverAgain;
    int result;
    std::optional<Box> message;
};

const Box NoUpdate{"You are running the latest version of Korvel", "No update necessary"};
const Box NoAnswer{"Korvel could not contact the update server. Please make sure that you are "
                   "online and try again.",
                   "Connection failed..."};
const Box KeinUpdate{"Dies ist bereits die neuste version von Korvel", "Kein update notwendig"};
const Box KeineAntwort{"Korvel konnnte keine verbindung zum updateserver herstellen. Bitte "
                       "stellen Sie eine Verbindung zum Internet her und versuchen Sie es erneut.",
                       "Versionscheck gescheitert..."};

void PrintTo(const UpdateCase& c, std::ostream* out) {
    *out << "mode " << c.mode << " quiet " << c.quiet << " server " << int(c.server);
}

class UpdateCheckTest : public OnlineFixture {
protected:
    void Serve(Server kind) {
        if (kind == Server::NoUpdate)
            server.AnswerVersionCheck("<HTML>Nothing new</HTML>");
        else if (kind == Server::Update)
            server.AnswerVersionCheck(makerserver::UpdateBody(
                "Korvel 2 is out: new boards!", "http://korvel.example/download?v=2&lang=en"));
        else
            server.Answer(makerserver::VersionScript, Reply{503, "Service Unavailable", ""});
    }

    // Runs one case and checks what the user saw.
    void Check(const UpdateCase& c, const Box& noUpdate, const Box& noAnswer) {
        SCOPED_TRACE(testing::PrintToString(c));
        Serve(c.server);
        const size_t boxes = hook.MessageBoxes().size();
        const size_t forms = hook.ModalForms().size();
        bool boxShown = false;
        AnsiString notice;
        if (c.answer)
            hook.ExpectModal<TUpdateNotification>().Fill([&](TUpdateNotification& form) {
                boxShown = form.CheckBox1->Visible;
                notice = form.Label1->Caption;
                form.CheckBox1->Checked = c.neverAgain;
                (*c.answer == mrYes ? form.Button1 : form.Button2)->Click();
            });
        if (c.message) {
            const Box& box = c.message->text == NoUpdate.text ? noUpdate : noAnswer;
            hook.ExpectMessageBox(box.text).Caption(box.caption).Flags(MB_ICONINFORMATION);
        }
        EXPECT_EQ(CheckForUpdate(c.mode, c.quiet), c.result);
        hook.Verify();
        EXPECT_EQ(hook.MessageBoxes().size(), boxes + (c.message ? 1 : 0));
        EXPECT_EQ(hook.ModalForms().size(), forms + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(notice, "Korvel 2 is out: new boards!");
            EXPECT_EQ(boxShown, c.mode != 2);
        }
    }

    MakerServer server;
};

TEST_F(UpdateCheckTest, ModesAndQuietLevelsDecideWhatIsShownAndTheResult) {
    StartMatch();
    const UpdateCase cases[] = {
        {0, 0, Server::NoUpdate, {}, false, 1, {}},
        {1, 2, Server::NoUpdate, {}, false, 1, {}},
        {2, 0, Server::NoUpdate, {}, false, 1, NoUpdate},
        {2, 1, Server::NoUpdate, {}, false, 1, {}},
        {2, 2, Server::NoUpdate, {}, false, 1, {}},
        {0, 0, Server::Refused, {}, false, 2, {}},
        {1, 2, Server::Refused, {}, false, 2, {}},
        {2, 0, Server::Refused, {}, false, 2, NoAnswer},
        {2, 1, Server::Refused, {}, false, 2, {}},
        {2, 2, Server::Refused, {}, false, 2, {}},
        {0, 1, Server::Update, {}, false, 1, {}},
        {2, 1, Server::Update, {}, false, 1, {}},
        {1, 2, Server::Update, mrNo, true, 3, {}},
        {1, 2, Server::Update, mrNo, false, 0, {}},
        {0, 0, Server::Update, mrNo, true, 3, {}},
        {2, 0, Server::Update, mrNo, false, 0, {}},
        {2, 2, Server::Update, mrNo, false, 0, {}},
    };
    for (const UpdateCase& c : cases)
        Check(c, NoUpdate, NoAnswer);
}

TEST_F(UpdateCheckTest, YesOpensTheDownloadAddressWhateverTheBox) {
    RecordShellOpens();
    StartMatch();
    Check({1, 2, Server::Update, mrYes, true, 0, {}}, NoUpdate, NoAnswer);
    EXPECT_EQ(FirstShellOpen(), "http://korvel.example/download?v=2&lang=en");
}

TEST_F(UpdateCheckTest, TheRequestNamesTheProgramItsVersionTheKindAndTheLanguage) {
    StartMatch();
    for (int mode : {0, 1, 2})
        CheckForUpdate(mode, 1);
    const auto requests = server.RequestsTo(makerserver::VersionScript);
    ASSERT_EQ(requests.size(), 3u);
    const std::string version = GetVersionString();
    EXPECT_EQ(requests[0].RequestLine(), "POST /cgi-bin/versioncheck.pl HTTP/1.0");
    EXPECT_EQ(requests[0].body, "AppName=kvl&Version=" + version +
                                    "&KindOfCheck=RegularVersionCheck&Language=english");
    EXPECT_EQ(requests[1].body,
              "AppName=kvl&Version=" + version + "&KindOfCheck=ForHighscores&Language=english");
    EXPECT_EQ(requests[2].body, requests[0].body);
}

TEST_F(UpdateCheckTest, GermanTextsAskInGermanAndReportInGerman) {
    UseLocale("de_DE.UTF-8");
    StartMatch();
    Check({2, 0, Server::NoUpdate, {}, false, 1, NoUpdate}, KeinUpdate, KeineAntwort);
    Check({2, 0, Server::Refused, {}, false, 2, NoAnswer}, KeinUpdate, KeineAntwort);
    EXPECT_EQ(server.RequestsTo(makerserver::VersionScript).back().body,
              "AppName=kvl&Version=" + GetVersionString() +
                  "&KindOfCheck=RegularVersionCheck&Language=german");
}

// A reply that offers an update without its markers shows an empty notice.
TEST_F(UpdateCheckTest, AnOfferWithoutMarkersShowsAnEmptyNotice) {
    StartMatch();
    server.AnswerVersionCheck("GetUpdate");
    AnsiString notice = "unchanged";
    hook.ExpectModal<TUpdateNotification>().Fill([&](TUpdateNotification& form) {
        notice = form.Label1->Caption;
        form.Button2->Click();
    });
    EXPECT_EQ(CheckForUpdate(1, 2), 0);
    EXPECT_EQ(notice, "");
}

TEST_F(UpdateCheckTest, WithoutTheMakersServerTheCheckFailsQuicklyAndTheGameGoesOn) {
    httptest::SetWebServer(""); // the default host, which nothing answers
    StartMatch();
    const auto start = std::chrono::steady_clock::now();
    Check({2, 0, Server::Refused, {}, false, 2, NoAnswer}, NoUpdate, NoAnswer);
    Check({1, 2, Server::Refused, {}, false, 2, {}}, NoUpdate, NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, QuickFailure);
    EXPECT_TRUE(server.Requests().empty());
    Play(PutOn(0));
    EXPECT_NE(Board().cell[0], Empty);
}

} // namespace
