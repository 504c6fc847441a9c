#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>

#include "myunits/Utils.h"
#include "online/Unit1.h"
#include "tests/online/OnlineFixture.h"
#include "tests/web/HttpConnectorTestSupport.h"
#include "ui/TForm1.h"

namespace {

using makerserver::MakerServer;
using makerserver::Reply;

const char* const Mailbox = "survey@korvel.example";
const char* const Sent = "The survey has been sent successfully. Thanks very much for "
                         "participating! :-)";
const char* const NotSent = "Could not send Mail. Please make sure that you are currently online";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start != text.size())
        lines.push_back("(unterminated) " + text.substr(start));
    return lines;
}

class SurveyTest : public OnlineFixture {
protected:
    // Opens the survey from its menu item; the modal result.
    TModalResult OpenSurvey(const std::function<void(TSurveyForm&)>& fill) {
        hook.ExpectModal<TSurveyForm>().Fill(fill);
        Form1->FillOutSurveyForm1->Click();
        return hook.ModalForms().back().Result;
    }
    void ExpectOnline() {
        hook.ExpectMessageBox("Are you currently online?")
            .Caption("Ready to proceed?")
            .Flags(MB_YESNO | MB_ICONQUESTION)
            .Press(IDYES);
    }
    void ExpectSent() { hook.ExpectMessageBox(Sent).Caption("Thanks").Flags(MB_ICONEXCLAMATION); }
    void ExpectNotSent() {
        hook.ExpectMessageBox(NotSent).Caption("Error while sending survey").Flags(MB_ICONSTOP);
    }
    // The composed text of the one survey posted.
    std::vector<std::string> PostedText() {
        const auto posts = server.RequestsTo(makerserver::FormToMailScript);
        if (posts.size() != 1)
            return {"posts: " + std::to_string(posts.size())};
        const std::string head = std::string("_to_address=") + Mailbox +
                                 "&_subject=KorvelHighscore&_from_address=" + Mailbox + "&body=";
        if (posts[0].body.compare(0, head.size(), head) != 0)
            return {"body: " + posts[0].body};
        return Lines(posts[0].body.substr(head.size()));
    }
    AnsiString SurveyState() { return Game().GetSetting(GameSetting::SurveyState); }

    MakerServer server;
};

void FillEverything(TSurveyForm& form) {
    form.Edit1->Text = "Ann";
    form.Edit2->Text = "ann@korvel.example";
    form.ComboBox1->ItemIndex = 2;
    form.ComboBox2->ItemIndex = 3;
    form.Edit4->Text = "450";
    form.ComboBox21->ItemIndex = 3;
    form.ComboBox22->ItemIndex = 1;
    form.Memo1->Text = "The board flickers.\r\nOnce.";
    form.Memo3->Text = "Yes & it worked=fine";
    form.ComboBox3->ItemIndex = 0;
    form.ComboBox4->ItemIndex = 6;
    form.ComboBox5->ItemIndex = 0;
    form.ComboBox6->ItemIndex = 1;
    form.ComboBox7->ItemIndex = 2;
    form.ComboBox8->ItemIndex = 3;
    form.ComboBox9->ItemIndex = 4;
    form.ComboBox10->ItemIndex = 0;
    form.ComboBox11->ItemIndex = 1;
    form.ComboBox12->ItemIndex = 2;
    form.ComboBox13->ItemIndex = 3;
    form.ComboBox14->ItemIndex = 4;
    form.ComboBox15->ItemIndex = 0;
    form.ComboBox16->ItemIndex = 4;
    form.ComboBox19->ItemIndex = 2;
    form.Edit3->Text = "15";
    form.RadioGroup2->ItemIndex = 2;
    form.ComboBox20->ItemIndex = 4;
    form.RadioGroup3->ItemIndex = 6;
    form.Edit5->Text = "Polka";
    form.RadioGroup4->ItemIndex = 0;
    form.RadioGroup5->ItemIndex = 3;
    form.ComboBox18->ItemIndex = 2;
    form.Edit8->Text = "2000";
    form.Edit6->Text = "Tetris";
    form.ComboBox17->ItemIndex = 4;
    form.Memo2->Text = "More boards";
    form.Edit7->Text = "The mill game of old";
}

TEST_F(SurveyTest, TheSentTextListsEveryAnswerInItsPlace) {
    StartMatch();
    ExpectOnline();
    ExpectSent();
    EXPECT_EQ(OpenSurvey([](TSurveyForm& form) {
                  FillEverything(form);
                  form.Button1->Click();
              }),
              mrOk);
    const std::string depth = IntToStr(Form1->ScreenColourDepth());
    const std::string sep = "----------------------------";
    // clang-format off
    const std::vector<std::string> expected = {
        "Korvel Evaluation v." + GetVersionString(),
        sep, "Game Description:", "The mill game of old",
        sep, "XRES:", IntToStr(Screen->DesktopWidth),
        sep, "YRES:", IntToStr(Screen->DesktopHeight),
        sep, "ColorDepth:", depth,
        sep, "Name:", "Ann",
        sep, "E-Mail:", "ann@korvel.example",
        sep, "CPU", "Intel Pentium II",
        sep, "CPU Clock", "450",
        sep, "OS", "Win 2000",
        sep, "Soundcard", "Yes, even with Wavetable",
        sep, "Graphics Card", "With some 3D-Acceleration (1- 3 years old)",
        sep, "Bugs:", "The board flickers.", "Once.",
        sep, "Internet:", "Yes & it worked=fine",
        sep, "Features1:", "Higher Resolution Graphics",
        sep, "Features2:", "Better Computer Opponents",
        sep, "Graphics:", "Very Good",
        sep, "Rel. Graphics:", "Better than Tolva+",
        sep, "Fun(short-term):", "Bad ",
        sep, "Rel. Fun (short-term):", "Much better than Tolva+",
        sep, "Fun (long-term):", "Average",
        sep, "Rel. Fun (long-term):", "Worse than Tolva+",
        sep, "Computer Skill level", "OK",
        sep, "Variety:", "Not So Good",
        sep, "Rel. Variety:", "Much worse than Tolva+",
        sep, "Help File", "Very Good",
        sep, "Rel. Help File", "Much worse than Tolva+",
        sep, "Overall:", "Good",
        sep, "Rel. Overall:", "Same quality as Tolva+",
        sep, "Price:", "15",
        sep, "Gonna buy the game:", "Maybe",
        sep, "Music Rating", "Great",
        sep, "Music Style", "Kids",
        sep, "Music Style other", "Polka",
        sep, "Player Selection Form:", "OK",
        sep, "Shareware Purchased", ">10",
        sep, "Downloasize OK?", "It's OK.",
        sep, "Max. Downloadsize:", "2000",
        sep, "Favourite game:", "Tetris",
        sep, "Why registered?", "What is Tolva+?",
        sep, "various suggestions?", "More boards",
        sep};
    // clang-format on
    EXPECT_EQ(PostedText(), expected);
    EXPECT_EQ(server.RequestsTo(makerserver::FormToMailScript)[0].method, "POST");
    EXPECT_EQ(SurveyState(), "2");
    EXPECT_FALSE(Form1->FillOutSurveyForm1->Visible);
}

TEST_F(SurveyTest, UntouchedAnswersGoOutAsTheirInitialTexts) {
    StartMatch();
    ExpectOnline();
    ExpectSent();
    OpenSurvey([](TSurveyForm& form) {
        form.Edit2->Text = " "; // any text passes the address check
        form.Button1->Click();
    });
    const std::vector<std::string> text = PostedText();
    const auto after = [&](const std::string& label) {
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == label)
                return text[i + 1];
        return "(no " + label + ")";
    };
    EXPECT_EQ(after("E-Mail:"), " ");
    EXPECT_EQ(after("Name:"), "");
    EXPECT_EQ(after("CPU"), "Please choose");
    EXPECT_EQ(after("OS"), "Please choose");
    EXPECT_EQ(after("Soundcard"), "Please Choose");
    EXPECT_EQ(after("Rel. Overall:"), "Please Choose");
    EXPECT_EQ(after("Music Rating"), "PleaseChoose");
    for (const char* radio :
         {"Gonna buy the game:", "Music Style", "Player Selection Form:", "Shareware Purchased"})
        EXPECT_EQ(after(radio), "No Selection") << radio;
    EXPECT_EQ(text.size(), 122u); // the title, forty answers of three lines, the last separator
}

struct ReplyCase {
    Reply reply;
    bool sent;
};

TEST_F(SurveyTest, TheReplyBodyAloneDecidesWhetherTheSurveyWasSent) {
    StartMatch();
    const ReplyCase cases[] = {
        {{200, "OK", "Thank you. Your message has been sent to the maker."}, true},
        {{500, "Internal Server Error", "It has been sent anyway"}, true},
        {{200, "OK", "Your message has not been sent."}, false},
        {{200, "OK", "YOUR MESSAGE HAS BEEN SENT"}, false},
        {{404, "Not Found", "no gateway here"}, false},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.reply.body);
        Form1->FillOutSurveyForm1->Visible = true;
        server.Answer(makerserver::FormToMailScript, c.reply);
        ExpectOnline();
        if (c.sent)
            ExpectSent();
        else
            ExpectNotSent();
        AnsiString keptName;
        const TModalResult result = OpenSurvey([&](TSurveyForm& form) {
            form.Edit1->Text = "Ann";
            form.Edit2->Text = "ann@korvel.example";
            form.Button1->Click();
            keptName = form.Edit1->Text;
            if (form.ModalResult == mrNone)
                form.Button3->Click();
        });
        EXPECT_EQ(result, c.sent ? mrOk : mrCancel);
        EXPECT_EQ(keptName, "Ann");
        EXPECT_EQ(SurveyState(), c.sent ? "2" : "1");
        EXPECT_EQ(bool(Form1->FillOutSurveyForm1->Visible), !c.sent);
        hook.Verify();
    }
}

TEST_F(SurveyTest, NothingIsSentWithoutAnAddressOrWhenTheUserIsNotOnline) {
    StartMatch();
    hook.ExpectMessageBox("You must enter a valid e-mail address.")
        .Caption("Sorry...")
        .Flags(MB_ICONSTOP);
    hook.ExpectMessageBox("Are you currently online?").Press(IDNO);
    hook.ExpectMessageBox("Please go online before sending this Survey, otherwise it wont work.")
        .Caption("Sorry...")
        .Flags(MB_ICONSTOP);
    EXPECT_EQ(OpenSurvey([](TSurveyForm& form) {
                  form.Button1->Click();
                  EXPECT_EQ(form.ModalResult, mrNone);
                  form.Edit2->Text = "ann@korvel.example";
                  form.Button1->Click();
                  EXPECT_EQ(form.ModalResult, mrNone);
                  form.Button3->Click();
              }),
              mrCancel);
    EXPECT_TRUE(server.RequestsTo(makerserver::FormToMailScript).empty());
    EXPECT_EQ(SurveyState(), "1");
}

TEST_F(SurveyTest, TheHiddenRefusalAsksFirst) {
    StartMatch();
    hook.ExpectMessageBox("Do you really not want to take part in this survey?")
        .Caption("Are you really sure?")
        .Flags(MB_YESNO | MB_ICONWARNING)
        .Press(IDNO);
    hook.ExpectMessageBox("Do you really not want to take part in this survey?").Press(IDYES);
    EXPECT_EQ(OpenSurvey([](TSurveyForm& form) {
                  EXPECT_FALSE(form.Button2->Visible);
                  form.Button2->Click();
                  EXPECT_EQ(form.ModalResult, mrNone);
                  form.Button2->Click();
              }),
              mrAbort);
    EXPECT_EQ(SurveyState(), "3");
}

TEST_F(SurveyTest, TheGameWaitsWhileTheSurveyIsOpen) {
    StartMatch();
    int ticks = -1;
    OpenSurvey([&](TSurveyForm& form) {
        EXPECT_EQ(SurveyForm, &form);
        EXPECT_FALSE(Game().GameTimer->Enabled);
        ticks = Game().TickCounter;
        Game().OnGameTimer(nullptr);
        EXPECT_EQ(Game().TickCounter, ticks);
        form.Button3->Click();
    });
    EXPECT_EQ(SurveyForm, nullptr);
    EXPECT_TRUE(Game().GameTimer->Enabled);
    EXPECT_TRUE(RunUntil([&] { return Game().TickCounter > ticks; }));
}

TEST_F(SurveyTest, WithoutTheMakersServerTheSurveyFailsQuicklyAndTheGameGoesOn) {
    httptest::SetWebServer(""); // the default host, which nothing answers
    StartMatch();
    ExpectOnline();
    ExpectNotSent();
    const auto start = std::chrono::steady_clock::now();
    OpenSurvey([](TSurveyForm& form) {
        form.Edit2->Text = "ann@korvel.example";
        form.Button1->Click();
        form.Button3->Click();
    });
    EXPECT_LT(std::chrono::steady_clock::now() - start, QuickFailure);
    Play(PutOn(0));
    EXPECT_NE(Board().cell[0], Empty);
}

// The survey is English: its button opens the English page of the other
// game, the one the main window's menu opens for English texts.
TEST_F(SurveyTest, TheOtherGamesButtonOpensItsEnglishPage) {
    UseLocale("de_DE.UTF-8");
    RecordShellOpens();
    StartMatch();
    OpenSurvey([](TSurveyForm& form) {
        form.Button4->Click();
        form.Button3->Click();
    });
    EXPECT_EQ(FirstShellOpen(), "http://" + server.Host() + "/tolva/");
}

} // namespace
