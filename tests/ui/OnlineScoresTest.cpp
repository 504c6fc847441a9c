// The high-score window's exchange with the maker's web server of the tests:
// consent, update check, the page fetched twice, its rows read into the
// online table, the usage report and the mail of the local results good
// enough for it; and the main window's page of the maker's other game.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

#include "myunits/Utils.h"
#include "online/TUpdateNotification.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/fixtures/MakerServer.h"
#include "tests/support/ControlFixture.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedReadOnly.h"
#include "tests/support/TempFolder.h"
#include "tests/web/HttpConnectorTestSupport.h"
#include "ui/TEnterNameForm.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPostedScores.h"
#include "ui/TScore.h"
#include "web/HttpProt.h"

namespace {

using makerserver::MakerServer;
using makerserver::Reply;

const char* const Address = "anna@example.org";

std::string Row(const std::string& name, const std::string& country, const std::string& stage,
                const std::string& score) {
    return "<tr><!--nam-->" + name + "<!--cou-->" + country + "<!--sta-->" + stage + "<!--poi-->" +
           score + "<!--eor--></tr>";
}

std::string Row(const std::string& name, int stage, int score) {
    return Row(name, "Land" + name, std::to_string(stage), std::to_string(score));
}

// Rows O1 to On, scores falling by `step` from `top`, stages falling from 10.
std::vector<std::string> Rows(int count, int top = 5000, int step = 500) {
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(Row("O" + std::to_string(i + 1), 10 - i, top - step * i));
    return rows;
}

// The lines between a head on line 0 and a foot, with LF line ends.
std::string Page(const std::vector<std::string>& lines, const std::string& head = "<html><table>") {
    std::string page = head + "\n";
    for (const std::string& line : lines)
        page += line + "\n";
    return page + "</table></html>\n";
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<AnsiString> Lines(TMemo* memo) {
    std::vector<AnsiString> lines;
    for (int i = 0; i < memo->Lines->Count; ++i)
        lines.push_back(memo->Lines->Strings[i]);
    return lines;
}

// A list as "name/country/stage/score" per record.
std::vector<AnsiString> Records(TList* list) {
    std::vector<AnsiString> records;
    for (int i = 0; i < list->Count; ++i) {
        const TScore& s = *static_cast<TScore*>(list->Items[i]());
        records.push_back(s.Name + "/" + s.Country + "/" + IntToStr(s.Stage) + "/" +
                          IntToStr(s.Score));
    }
    return records;
}

std::vector<AnsiString> Names(TList* list) {
    std::vector<AnsiString> names;
    for (int i = 0; i < list->Count; ++i)
        names.push_back(static_cast<TScore*>(list->Items[i]())->Name);
    return names;
}

int ControlIndex(TWinControl* parent, TControl* control) {
    for (int i = 0; i < parent->ControlCount; ++i)
        if (parent->Controls[i]() == control)
            return i;
    return -1;
}

class OnlineScoresTest : public ControlFixture {
protected:
    // The program with its game timer stopped, on these stored settings.
    void Start(const std::map<int, AnsiString>& settings = {}) {
        StoreSettings(settings);
        StartIdleProgram();
    }
    void ExpectConsent(int answer = IDYES) {
        hook.ExpectMessageBox(Text(259))
            .Caption(Text(258))
            .Flags(MB_YESNO | MB_ICONQUESTION)
            .Press(answer);
    }
    void ExpectAddress(const AnsiString& address, const AnsiString& country) {
        hook.ExpectModal<TEnterNameForm>().Fill([=](TEnterNameForm& form) {
            form.Edit1->Text = address;
            form.Edit2->Text = country;
            form.Button1->Click();
        });
    }
    void ExpectMessage(int text, int caption, int flags) {
        hook.ExpectMessageBox(Text(text)).Caption(Text(caption)).Flags(flags);
    }
    // The exchange of one result, the address asked for and the mail taken.
    void ExpectAcceptedMail() {
        ExpectConsent();
        ExpectAddress(Address, "Norway");
        ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    }
    // The compare button as the controller's menu command leaves the
    // window: the local table loaded.
    void Compare() {
        HighScoreForm->LoadScores();
        HighScoreForm->Button2->Click();
        hook.Verify();
    }
    std::vector<std::string> Paths() {
        std::vector<std::string> paths;
        for (const auto& request : server.Requests())
            paths.push_back(request.method + " " + request.path);
        return paths;
    }
    size_t RequestCount(const char* path) { return server.RequestsTo(path).size(); }
    std::string Posted(const std::string& folder = "") {
        std::ifstream file((folder.empty() ? Folder() : folder) + "posted.txt", std::ios::binary);
        if (!file)
            return "(missing)";
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    std::string Log() {
        std::ifstream file(Folder() + "log.txt", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    AnsiString Setting26() { return Game().GetSetting(GameSetting::OnlineHighScores); }
    bool IntroductionInFront() {
        return ControlIndex(HighScoreForm, HighScoreForm->Panel4) >
               ControlIndex(HighScoreForm, HighScoreForm->Panel3);
    }
    std::string MailBody(const std::string& address, const std::string& lines) {
        return "subject=KorvelHighscore&mailfrom=" + address +
               "&fromname=HighScoreForm&body=" + Game().BuildInfoString() + "\nEMAIL: " + address +
               "\n------\n" + lines + "&recipient=korvelhighscores";
    }

    MakerServer server;
    // Where the record goes when the program folder does not take it.
    TempFolder temporary{"posted"};
    ScopedEnv temporaryFolder{"TMPDIR", temporary.Path().c_str()};
};

// ---- The whole exchange ----

TEST_F(OnlineScoresTest, TheWholeExchangeFromTheMenu) {
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Cy|1|100||Bob|3|2600||Anna|7|4800||"}});
    ExpectConsent();
    ExpectAddress(Address, "Norway");
    ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    hook.ExpectModal<THighScoreForm>().Fill([&](THighScoreForm& form) {
        EXPECT_TRUE(IntroductionInFront());
        form.Button2->Click();
        EXPECT_FALSE(form.Button2->Visible);
        EXPECT_FALSE(IntroductionInFront());
        form.Button1->Click();
    });
    Form1->ShowHighscores1->Click();
    hook.Verify();

    EXPECT_EQ(Paths(), (std::vector<std::string>{
                           "POST /cgi-bin/versioncheck.pl", "GET /korvel/highscores.html",
                           "GET /korvel/highscores.html", "POST /cgi-bin/ID.pl",
                           "POST /cgi-bin/cgitomail.pl"}));
    EXPECT_NE(
        server.RequestsTo(makerserver::VersionScript)[0].body.find("&KindOfCheck=ForHighscores&"),
        std::string::npos);
    EXPECT_EQ(server.RequestsTo(makerserver::UsageScript)[0].body.rfind("ID=0&Key=", 0), 0u);
    const std::string lines = "Anna from Norway: Stage 7 Score 4800\r\n"
                              "Bob from Norway: Stage 3 Score 2600\r\n";
    EXPECT_EQ(server.RequestsTo(makerserver::MailScript)[0].body, MailBody(Address, lines));
    EXPECT_EQ(Posted(), lines + "\r\n");

    // The two results in the online table, their copies made before the
    // country was asked for; the two lowest rows pushed out.
    EXPECT_EQ(
        Lines(HighScoreForm->Memo4),
        (std::vector<AnsiString>{"O1", "Anna", "O2", "O3", "O4", "O5", "Bob", "O6", "O7", "O8"}));
    EXPECT_EQ(Lines(HighScoreForm->Memo7)[0], "LandO1");
    EXPECT_EQ(Lines(HighScoreForm->Memo7)[1], "");
    EXPECT_EQ(Lines(HighScoreForm->Memo5)[1], "7");
    EXPECT_EQ(Lines(HighScoreForm->Memo6)[1], "4800");
    EXPECT_EQ(Lines(HighScoreForm->Memo1), (std::vector<AnsiString>{"Anna", "Bob", "Cy"}));
    EXPECT_EQ(Setting26(), "0") << "no version block";
    // The window's own HTTP client is only prepared, never sent.
    EXPECT_EQ(HighScoreForm->HttpCli1->URL, "http://" + server.Host() + "/korvel/highscores.html");
    EXPECT_EQ(HighScoreForm->HttpCli1->Proxy, "");
    EXPECT_EQ(HighScoreForm->HttpCli1->ProxyPort, "");

    // Opened again: the table stays, the button stays gone, nothing is sent.
    hook.ExpectModal<THighScoreForm>().Fill([&](THighScoreForm& form) {
        EXPECT_FALSE(form.Button2->Visible);
        EXPECT_FALSE(IntroductionInFront());
        EXPECT_EQ(Lines(form.Memo4).size(), 10u);
        EXPECT_EQ(Lines(form.Memo4)[1], "Anna");
        form.Button1->Click();
    });
    Form1->ShowHighscores1->Click();
    hook.Verify();
    EXPECT_EQ(server.Requests().size(), 5u);
}

TEST_F(OnlineScoresTest, SayingNoSendsNothing) {
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Anna|7|4800||"}});
    ExpectConsent(IDNO);
    ExpectMessage(257, 43, MB_ICONSTOP);
    Compare();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(HighScoreForm->Button2->Enabled);
    EXPECT_TRUE(IntroductionInFront());
}

TEST_F(OnlineScoresTest, AFailedFetchEnablesTheButtonAndTheNextClickFetchesAgain) {
    server.Answer(makerserver::HighScorePage, Reply{404, "Not Found", "gone"});
    Start({{GameSetting::HighScores, "Anna|7|4800||"}});
    ExpectConsent();
    hook.ExpectMessageBox(Text(269) + ".").Caption(Text(276)).Flags(MB_ICONSTOP);
    Compare();
    EXPECT_TRUE(HighScoreForm->Button2->Enabled);
    EXPECT_TRUE(HighScoreForm->Button2->Visible);
    EXPECT_EQ(HighScoreForm->Page->Count, 0);
    EXPECT_EQ(RequestCount(makerserver::UsageScript), 0u);
    EXPECT_EQ(RequestCount(makerserver::MailScript), 0u);
    EXPECT_EQ(Posted(), "(missing)");

    server.AnswerPage(Page(Rows(10)));
    ExpectConsent();
    ExpectAddress(Address, "");
    ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    Compare();
    // The refused first request ended the first fetch; the second asked twice.
    EXPECT_EQ(RequestCount(makerserver::HighScorePage), 3u);
    EXPECT_EQ(RequestCount(makerserver::VersionScript), 2u);
    EXPECT_FALSE(HighScoreForm->Button2->Visible);
    EXPECT_EQ(Posted(), "Anna from : Stage 7 Score 4800\r\n\r\n");
}

TEST_F(OnlineScoresTest, WithoutTheMakersServerTheExchangeFailsQuicklyAndTheGameGoesOn) {
    httptest::SetWebServer(""); // the default host, which nothing answers
    StartTwoPeopleMatch();
    HighScoreForm->LoadScores();
    ExpectConsent();
    hook.ExpectMessageBox(Text(269) + ".").Caption(Text(276)).Flags(MB_ICONSTOP);
    const auto start = std::chrono::steady_clock::now();
    HighScoreForm->Button2->Click();
    EXPECT_LT(std::chrono::steady_clock::now() - start, QuickFailure);
    hook.Verify();
    EXPECT_TRUE(HighScoreForm->Button2->Enabled);
    EXPECT_TRUE(server.Requests().empty());
    Play(PutOn(0));
    EXPECT_NE(Board().cell[0], Empty);
}

// ---- The rows of the page ----

struct PageCase {
    const char* name;
    std::vector<std::string> lines; // below line 0
    std::string head;               // line 0
    std::vector<AnsiString> online; // "name/country/stage/score"
    bool complete;
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class OnlineRowsTest : public OnlineScoresTest, public testing::WithParamInterface<PageCase> {};

// Records O1 to On as Rows() writes them.
std::vector<AnsiString> Expected(int count, int top = 5000, int step = 500) {
    std::vector<AnsiString> records;
    for (int i = 0; i < count; ++i) {
        const std::string name = "O" + std::to_string(i + 1);
        records.push_back(name + "/Land" + name + "/" + std::to_string(10 - i) + "/" +
                          std::to_string(top - step * i));
    }
    return records;
}

TEST_P(OnlineRowsTest, ReadsTheFirstTenRowsBelowTheFirstLine) {
    const PageCase& c = GetParam();
    server.AnswerPage(Page(c.lines, c.head.empty() ? "<html><table>" : c.head));
    Start();
    ExpectConsent();
    if (!c.complete)
        ExpectMessage(500, 501, MB_ICONSTOP);
    Compare();
    EXPECT_EQ(Records(HighScoreForm->OnlineScores), c.online);
    EXPECT_EQ(Lines(HighScoreForm->Memo4).size(), c.online.size());
    EXPECT_EQ(RequestCount(makerserver::UsageScript), c.complete ? 1u : 0u);
    EXPECT_EQ(IntroductionInFront(), !c.complete);
    EXPECT_EQ(bool(HighScoreForm->Button2->Visible), !c.complete);
    EXPECT_FALSE(HighScoreForm->Button2->Enabled);
    EXPECT_EQ(RequestCount(makerserver::MailScript), 0u) << "no local results";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, OnlineRowsTest,
    testing::Values(
        PageCase{"TenRowsFromLineOne", Rows(10), "", Expected(10), true},
        PageCase{"ARowOnLineZeroIsNeverRead", Rows(10), Row("Zero", 12, 9999), Expected(10), true},
        PageCase{"OfTwelveRowsTheFirstTenByPlace",
                 Join(Rows(10), {Row("Late", 11, 8000), Row("Later", 12, 9000)}), "", Expected(10),
                 true},
        PageCase{"TenRowsInAnyOrderAreSortedByScore",
                 {Rows(10)[9], Rows(10)[3], Rows(10)[0], Rows(10)[5], Rows(10)[1], Rows(10)[8],
                  Rows(10)[2], Rows(10)[7], Rows(10)[4], Rows(10)[6]},
                 "",
                 Expected(10),
                 true},
        PageCase{"AStageThatIsNoNumberWithNineOthers",
                 Join({Row("X", "Land", "x", "7000")}, Rows(9)), "", Expected(9), false},
        PageCase{"ARowWithoutEndMarkerIsNotRead",
                 Join({"<!--nam-->Y<!--cou-->Land<!--sta-->3<!--poi-->7000"}, Rows(9)), "",
                 Expected(9), false},
        PageCase{"AnEmptyPage", {}, "", {}, false},
        PageCase{"CellTagsAndBlanksAreTakenOff",
                 Join({"<tr><td><!--nam-->Anna Lee</td><td><!--cou-->  Norway</td>"
                       "<TD><!--sta-->7</TD><TD><!--poi-->\t6000 <!--eor--></TD></tr>"},
                      Rows(9)),
                 "", Join({"Anna Lee/Norway/7/6000"}, Expected(9)), true}),
    [](const testing::TestParamInfo<PageCase>& info) { return info.param.name; });

TEST_F(OnlineScoresTest, TheCellTagsOfARowAreTakenOffInThePageAsWell) {
    server.AnswerPage(Page(Join({"<td><!--nam-->A</td><!--cou--><TD>B</TD><!--sta-->1"
                                 "<!--poi-->2<!--eor-->"},
                                Rows(9))));
    Start();
    ExpectConsent();
    Compare();
    EXPECT_EQ(AnsiString(HighScoreForm->Page->Strings[1]),
              " <!--nam-->A <!--cou--> B <!--sta-->1<!--poi-->2<!--eor-->");
}

// ---- The version block ----

struct VersionCase {
    const char* name;
    std::vector<std::string> block; // its lines, the running version as "$"
    const char* before;
    const char* after;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

class VersionBlockTest : public OnlineScoresTest,
                         public testing::WithParamInterface<VersionCase> {};

TEST_P(VersionBlockTest, AnUnlistedVersionIsMarkedOnce) {
    const VersionCase& c = GetParam();
    std::vector<std::string> block;
    for (const std::string& line : c.block)
        block.push_back(line == "$" ? GetVersionString() : line);
    server.AnswerPage(Page(Join(Rows(10), block)));
    Start({{GameSetting::OnlineHighScores, c.before}});
    ExpectConsent();
    Compare();
    EXPECT_EQ(Setting26(), c.after);
    EXPECT_EQ(RequestCount(makerserver::VersionScript), c.before == std::string("2") ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, VersionBlockTest,
    testing::Values(
        VersionCase{"NotListed", {"<!--latestversion", "0.9", "2.0", "latestversion-->"}, "0", "1"},
        VersionCase{"Listed", {"<!--latestversion", "2.0", "$", "latestversion-->"}, "0", "0"},
        VersionCase{"NoBlock", {}, "0", "0"},
        VersionCase{"NoEndMarker", {"<!--latestversion", "2.0"}, "0", "0"},
        VersionCase{"ListedWithABlankIsNotListed",
                    {"<!--latestversion", "$ ", "latestversion-->"},
                    "0",
                    "1"},
        VersionCase{"AlreadyMarked", {"<!--latestversion", "2.0", "latestversion-->"}, "1", "1"},
        VersionCase{"NeverAgainStays", {"<!--latestversion", "2.0", "latestversion-->"}, "2", "2"}),
    [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

TEST_F(OnlineScoresTest, NeverTellMeAgainStopsTheUpdateCheckForGood) {
    server.Answer(makerserver::HighScorePage, Reply{404, "Not Found", ""});
    server.AnswerVersionCheck(makerserver::UpdateBody("Korvel 2", "http://korvel.example/2"));
    Start();
    ExpectConsent();
    hook.ExpectModal<TUpdateNotification>().Fill([](TUpdateNotification& form) {
        form.CheckBox1->Checked = true;
        form.Button2->Click();
    });
    hook.ExpectMessageBox(Text(269) + ".").Caption(Text(276)).Flags(MB_ICONSTOP);
    Compare();
    EXPECT_EQ(Game().UpdateCheckDeclined, 1);
    EXPECT_EQ(Setting26(), "2");

    ExpectConsent();
    hook.ExpectMessageBox(Text(269) + ".").Caption(Text(276)).Flags(MB_ICONSTOP);
    Compare();
    EXPECT_EQ(RequestCount(makerserver::VersionScript), 1u);
}

TEST_F(OnlineScoresTest, TheDeclinedFlagAloneStopsTheUpdateCheck) {
    server.AnswerPage(Page(Rows(10)));
    Start();
    Game().UpdateCheckDeclined = 1;
    ExpectConsent();
    Compare();
    EXPECT_EQ(RequestCount(makerserver::VersionScript), 0u);
    EXPECT_EQ(Setting26(), "0");
}

// ---- What is posted ----

TEST_F(OnlineScoresTest, AResultAlreadyInTheOnlineTableIsNotPosted) {
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "O3|8|4000||"}});
    ExpectConsent();
    Compare();
    EXPECT_EQ(RequestCount(makerserver::MailScript), 0u);
    EXPECT_TRUE(hook.ModalForms().empty());
    EXPECT_EQ(hook.MessageBoxes().size(), 1u) << "the question only";
    EXPECT_EQ(Names(HighScoreForm->OnlineScores)[2], "O3");
    EXPECT_EQ(HighScoreForm->OnlineScores->Count, 10);
    EXPECT_EQ(Posted(), "(missing)");
}

TEST_F(OnlineScoresTest, OfTwoResultsOfOneNameOnlyTheBetterIsPosted) {
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Anna|6|4700||Anna|7|4800||"}});
    ExpectConsent();
    ExpectAddress(Address, "Norway");
    ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    Compare();
    EXPECT_EQ(server.RequestsTo(makerserver::MailScript)[0].body,
              MailBody(Address, "Anna from Norway: Stage 7 Score 4800\r\n"));
    const std::vector<AnsiString> names = Names(HighScoreForm->OnlineScores);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Anna"), 1);
}

TEST_F(OnlineScoresTest, AResultWhoseDigitsArePostedIsShownButNotSentAgain) {
    WriteFile("posted.txt", "Bea from X: Stage 9 Score 12500\r\n\r\n");
    server.AnswerPage(Page(Rows(10, 1000, 100)));
    Start({{GameSetting::HighScores, "Anna|2|250||"}});
    ExpectConsent();
    Compare();
    EXPECT_EQ(RequestCount(makerserver::MailScript), 0u);
    EXPECT_TRUE(hook.ModalForms().empty());
    EXPECT_EQ(Lines(HighScoreForm->Memo4)[8], "Anna");
    EXPECT_EQ(Lines(HighScoreForm->Memo6)[8], "250");
    EXPECT_EQ(Posted(), "Bea from X: Stage 9 Score 12500\r\n\r\n");
}

// Where "posted.txt" is read and written: beside the program, or in the
// user's data folder when the program folder is read-only (installed).
class PostedFileTest : public OnlineScoresTest, public testing::WithParamInterface<bool> {
protected:
    bool ReadOnly() const { return GetParam(); }
    std::string PostedFolder() const {
        return ReadOnly() ? std::string(std::getenv("XDG_DATA_HOME")) + "/Korvel/" : Folder();
    }
};

TEST_P(PostedFileTest, AnAcceptedMailIsAddedToWhatWasPosted) {
    std::filesystem::create_directories(PostedFolder());
    std::ofstream(PostedFolder() + "posted.txt", std::ios::binary)
        << "Bea from X: Stage 9 Score 777\r\n\r\n";
    std::optional<ScopedReadOnly> readOnly;
    if (ReadOnly())
        readOnly.emplace(Folder());
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Anna|7|4800||Bea|9|777||"}});
    ExpectConsent();
    ExpectAddress(Address, "Norway");
    ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    Compare();
    EXPECT_EQ(server.RequestsTo(makerserver::MailScript)[0].body,
              MailBody(Address, "Anna from Norway: Stage 7 Score 4800\r\n"))
        << "Bea's result was posted before";
    EXPECT_EQ(Posted(PostedFolder()), "Bea from X: Stage 9 Score 777\r\n\r\n"
                                      "Anna from Norway: Stage 7 Score 4800\r\n\r\n");
    if (ReadOnly()) {
        EXPECT_EQ(Posted(), "(missing)");
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, PostedFileTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ReadOnlyProgramFolder" : "ProgramFolder";
                         });

TEST_F(OnlineScoresTest, ARefusedMailWritesNothingAndIsOfferedAgainNextRun) {
    server.AnswerPage(Page(Rows(10)));
    server.AnswerMail("Mailer Down");
    Start({{GameSetting::HighScores, "Anna|7|4800||"}});
    ExpectConsent();
    ExpectAddress(Address, "Norway");
    ExpectMessage(503, 505, MB_ICONSTOP);
    Compare();
    EXPECT_EQ(Posted(), "(missing)");

    Restart();
    Game().GameTimer->Enabled = false;
    server.AnswerMail("OK");
    ExpectConsent();
    ExpectAddress(Address, "Norway");
    ExpectMessage(502, 504, MB_ICONEXCLAMATION);
    Compare();
    EXPECT_EQ(RequestCount(makerserver::MailScript), 2u);
    EXPECT_EQ(Posted(), "Anna from Norway: Stage 7 Score 4800\r\n\r\n");
}

// ---- When the program folder does not keep the record ----

enum class Obstacle { FolderInItsPlace, HeldByAnotherProgram, TooLargeToRead };

struct PostedCase {
    const char* name;
    Obstacle obstacle;
    const char* logged; // the start of the log line
};

class PostedElsewhereTest : public OnlineScoresTest,
                            public testing::WithParamInterface<PostedCase> {
protected:
    ~PostedElsewhereTest() override {
        if (held >= 0)
            ::close(held);
    }

    static constexpr const char* Earlier = "Bea from X: Stage 9 Score 777\r\n\r\n";

    void PutObstacle() {
        switch (GetParam().obstacle) {
        case Obstacle::FolderInItsPlace:
            std::filesystem::create_directory(Folder() + "posted.txt");
            break;
        case Obstacle::HeldByAnotherProgram:
            WriteFile("posted.txt", Earlier);
            held = ::open((Folder() + "posted.txt").c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
            break;
        case Obstacle::TooLargeToRead:
            WriteFile("posted.txt", std::string(TPostedScores::MaxBytes + 1, '7'));
            break;
        }
    }
    // What the program folder holds in the place of the record, unchanged.
    void ExpectProgramFolderUnchanged() {
        switch (GetParam().obstacle) {
        case Obstacle::FolderInItsPlace:
            EXPECT_TRUE(std::filesystem::is_directory(Folder() + "posted.txt"));
            break;
        case Obstacle::HeldByAnotherProgram:
            EXPECT_EQ(Posted(), Earlier);
            break;
        case Obstacle::TooLargeToRead:
            EXPECT_EQ(Posted(), std::string(TPostedScores::MaxBytes + 1, '7'));
            break;
        }
    }
    int held = -1;
};

// The mail was taken: the user hears so, the log says where the record
// could not go, and the record goes to the temporary folder, from where the
// next run knows it was sent.
TEST_P(PostedElsewhereTest, TheRecordGoesToTheTemporaryFolderAndTheNextRunKnowsIt) {
    PutObstacle();
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Anna|7|4800||"}});
    ExpectAcceptedMail();
    Compare();
    EXPECT_EQ(temporary.Read("posted.txt"), "Anna from Norway: Stage 7 Score 4800\r\n\r\n");
    ExpectProgramFolderUnchanged();
    const std::string log = Log();
    EXPECT_NE(log.find(GetParam().logged), std::string::npos) << log;
    EXPECT_NE(log.find("posted.txt"), std::string::npos) << log;

    StopProgram();
    Start();
    ExpectConsent();
    Compare();
    EXPECT_EQ(RequestCount(makerserver::MailScript), 1u) << "the same result was mailed again";
    EXPECT_EQ(hook.ModalForms().size(), 1u) << "the address was asked for again";
    ExpectProgramFolderUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Obstacles, PostedElsewhereTest,
    testing::Values(
        PostedCase{"AFolderInItsPlace", Obstacle::FolderInItsPlace, "Posted scores not saved: "},
        PostedCase{"HeldByAnotherProgram", Obstacle::HeldByAnotherProgram,
                   "Posted scores not saved: "},
        PostedCase{"TooLargeToRead", Obstacle::TooLargeToRead, "Posted scores not read: "}),
    [](const testing::TestParamInfo<PostedCase>& info) { return info.param.name; });

TEST_F(OnlineScoresTest, AnAcceptedMailThatNoPlaceRecordsIsStillReportedSent) {
    std::filesystem::create_directory(Folder() + "posted.txt");
    std::filesystem::create_directory(temporary.File("posted.txt"));
    server.AnswerPage(Page(Rows(10)));
    Start({{GameSetting::HighScores, "Anna|7|4800||"}});
    ExpectAcceptedMail();
    Compare();
    const std::string log = Log();
    EXPECT_NE(log.find("Posted scores not saved: no place took \"posted.txt\""), std::string::npos)
        << log;
}

// ---- The other game ----

class OtherGameTest : public OnlineScoresTest, public testing::WithParamInterface<bool> {};

TEST_P(OtherGameTest, TheMenuOpensItsPageInTheLanguageOfTheTexts) {
    const bool german = GetParam();
    if (german) {
        UseLocale("de_DE.UTF-8");
    }
    RecordShellOpens();
    Start();
    ASSERT_TRUE(Form1->DownloadotherVorlaneGames1->Visible);
    Form1->Tolva1->Click();
    EXPECT_EQ(FirstShellOpen(),
              "http://" + server.Host() + (german ? "/german/tolva/" : "/tolva/"));
}

INSTANTIATE_TEST_SUITE_P(Languages, OtherGameTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "German" : "English";
                         });

} // namespace
