// The newsletter offer: once a run and only until the user subscribed or
// declined for good when it comes by itself, always from the menu; its
// texts by the language, the address check, and the subscription mail the
// maker's server receives.

#include "myunits/Utils.h"
#include "online/TSubscribeNewsletterForm.h"
#include "tests/fixtures/MakerServer.h"
#include "tests/online/OfferFixture.h"

namespace {

using makerserver::MailScript;

const char* const EnglishLabel =
    "Subscribe to our free monthly newsletter to be notified about new game releases, Korvel "
    "updates, news, free add-ons, hints, contests and special discount offers regarding our "
    "games. We will keep your e-mail absolutely confidential - It will only be used to send you "
    "our free monthly newsletter.\r\n\r\nYou can quickly and easily unsubscribe it at any time "
    "by clicking a simple link in any issue of the newsletter.\r\n\r\nDon't miss out - join our "
    "thousands of happy subscribers now. You just have to enter your e-mail address and confirm "
    "with the \"Submit Subscription\" button.";

const char* const GermanLabel =
    "Abonnieren Sie unser kostenloses monatliches Newsletter um Benachrichtigungen über Korvel "
    "Updates, neue Spiele, Stratgietipps und vergünstigte Angebote für unsere Spiele zu "
    "bekommen. Ihre Emailadresse wird absolut vertraulich behandelt und ausschliesslich für das "
    "Versenden unseres monatlichen Newsletters benutzt.\r\n\r\nSie können das Newsletter zudem "
    "bei Nichtgefallen schnell und einfach mit einem einzigen Mausklick wieder "
    "abbestellen.\r\n\r\nZum Abonnieren geben Sie bitte Ihre Emailadresse sowie wahlweise auch "
    "Ihren Namen ein und klicken den \"Abonnieren\"-Knopf";

struct LanguageCase {
    const char* name;
    const char* locale;
    const char* caption;
    const char* label;
    const char* checkBox;
    const char* submit;
    const char* later;
    const char* firstNamePrompt;
    const char* addressPrompt;
    const char* thanks;
    const char* thanksCaption;
    const char* invalidBefore;
    const char* invalidAfter;
    const char* failed;
    const char* failedCaption;
    const char* gamer;
    const char* country;
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
    *out << c.name;
}

const LanguageCase English{
    "English",
    "en_US.UTF-8",
    "Stay up-to-date with our free monthly newsletter",
    EnglishLabel,
    "Never show this window again",
    "Submit Subscription",
    "Maybe Later",
    "Your first name (optional):",
    "Your e-mail address:",
    "Thanks for subscribing to our free newsletter!",
    "Newsletter subscription successful.",
    "The e-mail address ",
    " does not seem to be valid. Please check the spelling and try again.",
    "Newsletter Subscription failed. Please make sure that you are online and try again. If you "
    "are using a personal firewall, please make sure that Korvel is not blocked from the "
    "Internet.",
    "Subscription failed",
    "Korvel Gamer",
    "Country: USA"};

const LanguageCase German{
    "German",
    "de_DE.UTF-8",
    "Abonnieren Sie unser kostenloses Newsletter",
    GermanLabel,
    "Dieses Fenster nicht mehr anzeigen",
    "Jetzt Abonnieren",
    "Vielleicht später",
    "Ihr Vorname (optional):",
    "Ihre Emailadresse:",
    "Sie haben soeben unser kostenloses newsletter abonniert.",
    "Vielen Dank!.",
    "Die von Ihnen eingegebene Emailadresse ",
    " scheint leider nicht gültig zu sein. Bitte überprüfen Sie die Schreibweise und versuchen "
    "Sie es erneut.",
    "Das Abonnieren unseres Newsletters ist leider fehlgeschlagen. Bitte überprüfen Sie Ihre "
    "Internetverbindung. Falls Sie einen personal firewall verwenden, stellen Sie bitte sicher "
    "dass dieser Korvel nicht den Zugang zum Internet blockiert.",
    "Korvel",
    "Korvel Spieler",
    "Country: Germany"};

// The form body of the subscription mail.
std::string SubscriptionPost(const std::string& firstName, const std::string& address, bool forced,
                             const char* country) {
    const std::string record =
        "*** automatic mailing list enter ***\r\nProduct Name: Korvel\r\n"
        "Version: " +
        GetVersionString() + "\r\nFirst Name: " + firstName + "\r\nEmail Address: " + address +
        "\r\nVolSubscription: " + (forced ? "1" : "0") + "\r\nTime: 0\r\n" + country;
    return "subject=automatic Korvel mailing List enter&mailfrom=" + address +
           "&fromname=" + firstName + "&body=" + record + "&recipient=Newslettersubscriptions";
}

void Enter(TSubscribeNewsletterForm& form, const AnsiString& firstName, const AnsiString& address) {
    form.Edit1->Text = firstName;
    form.Edit3->Text = address;
}

class NewsletterTest : public OfferFixture {
protected:
    void ExpectThanks(const LanguageCase& c) {
        hook.ExpectMessageBox(c.thanks).Caption(c.thanksCaption).Flags(MB_ICONEXCLAMATION);
    }
};

class NewsletterLanguageTest : public NewsletterTest,
                               public testing::WithParamInterface<LanguageCase> {};

// A first name of blanks is sent as the product's gamer.
TEST_P(NewsletterLanguageTest, TheFirstOfferOfARunShowsTheTextsAndSubscribes) {
    const LanguageCase c = GetParam();
    makerserver::MakerServer server;
    StartIn(c.locale);
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([&c](TSubscribeNewsletterForm& form) {
        EXPECT_EQ(form.Caption(), c.caption);
        EXPECT_EQ(form.Label1->Caption(), c.label);
        EXPECT_EQ(form.CheckBox1->Caption(), c.checkBox);
        EXPECT_EQ(form.Button1->Caption(), c.submit);
        EXPECT_EQ(form.Button2->Caption(), c.later);
        EXPECT_EQ(form.Label3->Caption(), c.firstNamePrompt);
        EXPECT_EQ(form.Label4->Caption(), c.addressPrompt);
        EXPECT_TRUE(form.CheckBox1->Visible);
        Enter(form, "   ", "ann@example.org");
        form.Button1->Click();
    });
    ExpectThanks(c);
    ShowNewsletterOffer(false);
    const auto mails = server.RequestsTo(MailScript);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].body, SubscriptionPost(c.gamer, "ann@example.org", false, c.country));
    EXPECT_EQ(hook.ModalForms()[0].Result, mrOk);
    EXPECT_EQ(StoredFlag("news", 0), 1);
    EXPECT_EQ(StoredFlag("news", 1), 0);
}

// Nothing answers at the default server's name: the user is told in the
// language in use, and may try again or leave.
TEST_P(NewsletterLanguageTest, WithoutTheMakersServerTheSendFailsAndTheDialogStays) {
    const LanguageCase c = GetParam();
    StartIn(c.locale);
    hook.ExpectMessageBox(c.failed).Caption(c.failedCaption).Flags(MB_ICONSTOP);
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([](TSubscribeNewsletterForm& form) {
        Enter(form, "Ann", "ann@example.org");
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, mrNone);
        EXPECT_TRUE(form.Button1->Enabled);
        form.Button2->Click();
    });
    ShowNewsletterOffer(true);
    EXPECT_EQ(StoredFlag("news", 0), 0);
    EXPECT_EQ(StoredFlag("news", 1), 0);
}

TEST_P(NewsletterLanguageTest, AnImplausibleAddressIsRefusedBeforeAnythingIsSent) {
    const LanguageCase c = GetParam();
    makerserver::MakerServer server;
    StartIn(c.locale);
    const char* const invalid[] = {"@bc.de", "a@b.c", "ann@example", "ann@example."};
    for (const char* address : invalid)
        hook.ExpectMessageBox(c.invalidBefore + std::string(address) + c.invalidAfter)
            .Caption("Korvel")
            .Flags(MB_ICONSTOP);
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([&invalid](TSubscribeNewsletterForm& form) {
        for (const char* address : invalid) {
            Enter(form, "Ann", address);
            form.Button1->Click();
            EXPECT_EQ(form.ModalResult, mrNone) << address;
            EXPECT_TRUE(form.Button1->Enabled) << address;
        }
        form.Button2->Click();
    });
    ShowNewsletterOffer(true);
    EXPECT_TRUE(server.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Languages, NewsletterLanguageTest, testing::Values(English, German),
                         [](const testing::TestParamInfo<LanguageCase>& info) {
                             return std::string(info.param.name);
                         });

struct SubscriberCase {
    const char* name;
    const char* firstName;
    const char* address;
    const char* sentName;
};

void PrintTo(const SubscriberCase& c, std::ostream* out) {
    *out << c.name;
}

class NewsletterSubscriberTest : public NewsletterTest,
                                 public testing::WithParamInterface<SubscriberCase> {};

// From the menu: the mail says the user asked for it, and the check box is
// not offered.
TEST_P(NewsletterSubscriberTest, TheMenusOfferSendsTheNameAndAddressAsTyped) {
    const SubscriberCase c = GetParam();
    makerserver::MakerServer server;
    StartIn("en_US.UTF-8");
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([&c](TSubscribeNewsletterForm& form) {
        EXPECT_FALSE(form.CheckBox1->Visible);
        Enter(form, c.firstName, c.address);
        form.Button1->Click();
    });
    ExpectThanks(English);
    ShowNewsletterOffer(true);
    const auto mails = server.RequestsTo(MailScript);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].body, SubscriptionPost(c.sentName, c.address, true, English.country));
    EXPECT_EQ(StoredFlag("news", 0), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Subscribers, NewsletterSubscriberTest,
    testing::Values(SubscriberCase{"Named", "Ann", "ann@example.org", "Ann"},
                    SubscriberCase{"LeadingBlank", " Ann", "ann@example.org", " Ann"},
                    SubscriberCase{"Unnamed", "", "ann@example.org", "Korvel Gamer"},
                    // Six characters, the at-sign second, a dot inside.
                    SubscriberCase{"ShortestAddress", "Ann", "a@b.cd", "Ann"},
                    SubscriberCase{"DotBeforeTheAtSign", "Ann", "a.b@cd", "Ann"}),
    [](const testing::TestParamInfo<SubscriberCase>& info) {
        return std::string(info.param.name);
    });

struct ReasonCase {
    const char* reason;
    bool accepted;
};

void PrintTo(const ReasonCase& c, std::ostream* out) {
    *out << c.reason;
}

class NewsletterReplyTest : public NewsletterTest,
                            public testing::WithParamInterface<ReasonCase> {};

// Only a reason phrase that begins with "OK" means the relay took the mail;
// after a refusal the user may send again.
TEST_P(NewsletterReplyTest, TheRelaysReasonPhraseDecides) {
    const ReasonCase c = GetParam();
    makerserver::MakerServer server;
    server.AnswerMail(c.reason);
    StartIn("en_US.UTF-8");
    if (!c.accepted)
        hook.ExpectMessageBox(English.failed).Caption(English.failedCaption).Flags(MB_ICONSTOP);
    ExpectThanks(English);
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill(
        [&c, &server](TSubscribeNewsletterForm& form) {
            Enter(form, "Ann", "ann@example.org");
            form.Button1->Click();
            if (c.accepted)
                return;
            EXPECT_EQ(form.ModalResult, mrNone);
            EXPECT_TRUE(form.Button1->Enabled);
            server.AnswerMail("OK");
            form.Button1->Click();
        });
    ShowNewsletterOffer(false);
    EXPECT_EQ(server.RequestsTo(MailScript).size(), c.accepted ? 1u : 2u);
    EXPECT_EQ(StoredFlag("news", 0), 1);
}

INSTANTIATE_TEST_SUITE_P(Replies, NewsletterReplyTest,
                         testing::Values(ReasonCase{"OK", true}, ReasonCase{"OK fine", true},
                                         ReasonCase{"Okay", false},
                                         ReasonCase{"Mailbox unavailable", false}),
                         [](const testing::TestParamInfo<ReasonCase>& info) {
                             std::string name = info.param.reason;
                             std::erase(name, ' ');
                             return name;
                         });

struct StoredCase {
    const char* name;
    int subscribed;
    int never;
};

void PrintTo(const StoredCase& c, std::ostream* out) {
    *out << c.name;
}

class NewsletterStoredTest : public NewsletterTest,
                             public testing::WithParamInterface<StoredCase> {};

TEST_P(NewsletterStoredTest, AnAnswerOfAnEarlierRunEndsTheAutomaticOffer) {
    const StoredCase c = GetParam();
    StartIn("en_US.UTF-8");
    StoreFlags("news", c.subscribed, c.never);
    ShowNewsletterOffer(false);
    EXPECT_TRUE(hook.ModalForms().empty());

    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([](TSubscribeNewsletterForm& form) {
        EXPECT_FALSE(form.CheckBox1->Visible);
        form.Button2->Click();
    });
    ShowNewsletterOffer(true);
    EXPECT_EQ(hook.ModalForms().size(), 1u);
    EXPECT_EQ(StoredFlag("news", 0), c.subscribed);
    EXPECT_EQ(StoredFlag("news", 1), c.never);
}

INSTANTIATE_TEST_SUITE_P(Flags, NewsletterStoredTest,
                         testing::Values(StoredCase{"Subscribed", 1, 0}, StoredCase{"Never", 0, 1},
                                         StoredCase{"Both", 1, 1}),
                         [](const testing::TestParamInfo<StoredCase>& info) {
                             return std::string(info.param.name);
                         });

// A forced offer in between neither uses up nor renews the run's one
// automatic offer.
TEST_F(NewsletterTest, TheAutomaticOfferComesOnceARunAlsoAroundTheMenusOffer) {
    StartIn("en_US.UTF-8");
    hook.ExpectModal<TSubscribeNewsletterForm>()
        .Fill([](TSubscribeNewsletterForm& form) { form.Button2->Click(); })
        .Times(3);
    ShowNewsletterOffer(true);
    ShowNewsletterOffer(false);
    ShowNewsletterOffer(true);
    ShowNewsletterOffer(false);
    EXPECT_EQ(hook.ModalForms().size(), 3u);
}

TEST_F(NewsletterTest, MaybeLaterWithTheCheckBoxEndsTheAutomaticOffers) {
    StartIn("en_US.UTF-8");
    hook.ExpectModal<TSubscribeNewsletterForm>().Fill([](TSubscribeNewsletterForm& form) {
        form.CheckBox1->Click();
        form.Button2->Click();
    });
    ShowNewsletterOffer(false);
    EXPECT_EQ(StoredFlag("news", 0), 0);
    EXPECT_EQ(StoredFlag("news", 1), 1);
}

} // namespace
