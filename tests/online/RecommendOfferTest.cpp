// The tell-a-friend offer: once a run and only until the user answered for
// good when it comes by itself, always from the menu; its texts by the
// language, and the recommendation page in the browser.

#include "online/TRecommendForm.h"
#include "tests/online/OfferFixture.h"

namespace {

struct LanguageCase {
    const char* name;
    const char* locale;
    const char* caption;
    const char* label;
    const char* recommend;
    const char* later;
    const char* never;
    const char* page;
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
    *out << c.name;
}

const LanguageCase Languages[] = {
    {"English", "en_US.UTF-8", "Tell a Friend About Korvel",
     "Do you like Korvel? Share the fun with your friends, colleagues or family.\r\n\r\n"
     "Let them know that they can try the game for free, and give them a few hours of "
     "mind-bending fun.\r\n\r\nRecommending Korvel is fast and easy - You just have to fill out "
     "a very short form on our website.\r\n\r\n",
     "Recommend Korvel Now", "Maybe Later", "Never Recommend",
     "http://korvel.example/korvel/recommend.html"},
    {"German", "de_DE.UTF-8", "Bitte empfehlen Sie Korvel weiter!",
     "Mögen Sie Korvel? Dann empfehlen Sie es doch Ihren Freunden, Arbeitskollegen und "
     "Verwandten weiter und schenken Sie ihnen ein paar unterhaltsame Stunden.\r\n\r\nDas "
     "Weiterempfehlen geht schnell und einfach, Sie müssen lediglich ein kurzes Formular auf "
     "unserer Webseite ausfüllen.\r\n\r\n",
     "Korvel weiterempfehlen ", "Vielleicht später", "Nie Empfehlen",
     "http://korvel.example/german/korvel/recommend.html"},
};

class RecommendLanguageTest : public OfferFixture,
                              public testing::WithParamInterface<LanguageCase> {};

TEST_P(RecommendLanguageTest, TheFirstOfferOfARunShowsTheTextsAndOpensThePage) {
    const LanguageCase c = GetParam();
    StartIn(c.locale);
    hook.ExpectModal<TRecommendForm>().Fill([&c](TRecommendForm& form) {
        EXPECT_EQ(&form, RecommendForm);
        EXPECT_EQ(form.Caption(), c.caption);
        EXPECT_EQ(form.Label1->Caption(), c.label);
        EXPECT_EQ(form.Button1->Caption(), c.recommend);
        EXPECT_EQ(form.Button2->Caption(), c.later);
        EXPECT_EQ(form.Button3->Caption(), c.never);
        EXPECT_TRUE(form.Button3->Visible);
        // The whole invitation fits, and the buttons below it.
        EXPECT_GE(form.Label1->Width, 282);
        EXPECT_LE(form.Label1->Top + form.Label1->Height, form.Panel1->ClientHeight);
        EXPECT_GE(form.Button1->Top, form.Panel1->Top + form.Panel1->Height);
        EXPECT_GE(form.Button1->Left, form.Panel1->Left);
        EXPECT_LE(form.Button3->Left + form.Button3->Width, form.ClientWidth);
        form.Button1->Click();
    });
    ShowRecommendOffer(false);
    EXPECT_EQ(FirstShellOpen(), c.page);
    EXPECT_EQ(StoredFlag("rec", 0), 1);
    EXPECT_EQ(StoredFlag("rec", 1), 0);
    EXPECT_EQ(RecommendForm, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Languages, RecommendLanguageTest, testing::ValuesIn(Languages),
                         [](const testing::TestParamInfo<LanguageCase>& info) {
                             return std::string(info.param.name);
                         });

struct AnswerCase {
    const char* name;
    std::function<void(TRecommendForm&)> answer;
    int recommended;
    int never;
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
    *out << c.name;
}

class RecommendAnswerTest : public OfferFixture, public testing::WithParamInterface<AnswerCase> {};

// Whatever the answer, the automatic offer is not made twice in one run,
// and the menu's offer comes without "Never Recommend".
TEST_P(RecommendAnswerTest, TheAnswerIsStoredAndTheRunOffersOnlyOnce) {
    const AnswerCase c = GetParam();
    StartIn("en_US.UTF-8");
    hook.ExpectModal<TRecommendForm>().Fill(c.answer);
    ShowRecommendOffer(false);
    EXPECT_EQ(StoredFlag("rec", 0), c.recommended);
    EXPECT_EQ(StoredFlag("rec", 1), c.never);

    ShowRecommendOffer(false);
    EXPECT_EQ(hook.ModalForms().size(), 1u);

    hook.ExpectModal<TRecommendForm>().Fill([](TRecommendForm& form) {
        EXPECT_FALSE(form.Button3->Visible);
        form.Button2->Click();
    });
    ShowRecommendOffer(true);
    ASSERT_EQ(hook.ModalForms().size(), 2u);
    EXPECT_EQ(hook.ModalForms()[1].Result, mrCancel);
    EXPECT_EQ(StoredFlag("rec", 0), c.recommended);
    EXPECT_EQ(StoredFlag("rec", 1), c.never);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RecommendAnswerTest,
    testing::Values(
        AnswerCase{"Recommend", [](TRecommendForm& form) { form.Button1->Click(); }, 1, 0},
        AnswerCase{"Never", [](TRecommendForm& form) { form.Button3->Click(); }, 0, 1},
        AnswerCase{"MaybeLater", [](TRecommendForm& form) { form.Button2->Click(); }, 0, 0},
        AnswerCase{"CloseBox", [](TRecommendForm& form) { form.Close(); }, 0, 0}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

struct StoredCase {
    const char* name;
    int recommended;
    int never;
};

void PrintTo(const StoredCase& c, std::ostream* out) {
    *out << c.name;
}

class RecommendStoredTest : public OfferFixture, public testing::WithParamInterface<StoredCase> {};

// An earlier run's answer ends the automatic offers; the menu still shows
// the dialog, and "Maybe Later" there changes nothing.
TEST_P(RecommendStoredTest, AnAnswerOfAnEarlierRunEndsTheAutomaticOffer) {
    const StoredCase c = GetParam();
    StartIn("en_US.UTF-8");
    StoreFlags("rec", c.recommended, c.never);
    ShowRecommendOffer(false);
    EXPECT_TRUE(hook.ModalForms().empty());

    hook.ExpectModal<TRecommendForm>().Fill([](TRecommendForm& form) {
        EXPECT_FALSE(form.Button3->Visible);
        form.Button2->Click();
    });
    ShowRecommendOffer(true);
    EXPECT_EQ(hook.ModalForms().size(), 1u);
    EXPECT_EQ(StoredFlag("rec", 0), c.recommended);
    EXPECT_EQ(StoredFlag("rec", 1), c.never);
}

INSTANTIATE_TEST_SUITE_P(Flags, RecommendStoredTest,
                         testing::Values(StoredCase{"Recommended", 1, 0}, StoredCase{"Never", 0, 1},
                                         StoredCase{"Both", 1, 1}),
                         [](const testing::TestParamInfo<StoredCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
