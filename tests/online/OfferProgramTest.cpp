// The offers inside the running program: made by the start counter when
// the first game of a run starts, and from the main menu; with the default
// server nothing answers and the game goes on.

#include "game/gamecontrol.h"
#include "online/TRecommendForm.h"
#include "online/TSubscribeNewsletterForm.h"
#include "tests/support/ControlFixture.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

enum class Offer { None, Newsletter, Recommend };

struct CounterCase {
    int start; // the start counter of this run
    Offer offer;
};

void PrintTo(const CounterCase& c, std::ostream* out) {
    *out << "start " << c.start;
}

class OfferByStartTest : public ControlFixture, public testing::WithParamInterface<CounterCase> {};

// The automatic offers come with their own "never" choice, after the
// player selection and before the first move is asked for.
TEST_P(OfferByStartTest, TheStartCounterChoosesTheOffer) {
    const CounterCase c = GetParam();
    StoreSettings(
        {{GameSetting::MusicOn, "0"}, {GameSetting::StartCounter, IntToStr(c.start - 1)}});
    StartProgram();
    ExpectTwoPeopleSelection(3);
    if (c.offer == Offer::Newsletter)
        hook.ExpectModal<TSubscribeNewsletterForm>().Fill([](TSubscribeNewsletterForm& form) {
            EXPECT_TRUE(form.CheckBox1->Visible);
            form.Button2->Click();
        });
    if (c.offer == Offer::Recommend)
        hook.ExpectModal<TRecommendForm>().Fill([](TRecommendForm& form) {
            EXPECT_TRUE(form.Button3->Visible);
            form.Button2->Click();
        });
    ASSERT_TRUE(WaitForHuman());
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), IntToStr(c.start));
    EXPECT_EQ(hook.ModalForms().size(), c.offer == Offer::None ? 1u : 2u);
    EXPECT_EQ(Game().History->Count, 1);
}

INSTANTIATE_TEST_SUITE_P(Starts, OfferByStartTest,
                         testing::Values(CounterCase{3, Offer::None}, CounterCase{5, Offer::None},
                                         CounterCase{6, Offer::Newsletter},
                                         CounterCase{7, Offer::None},
                                         CounterCase{8, Offer::Recommend},
                                         CounterCase{9, Offer::Newsletter},
                                         CounterCase{11, Offer::Recommend}),
                         [](const testing::TestParamInfo<CounterCase>& info) {
                             return "Start" + std::to_string(info.param.start);
                         });

class OfferMenuTest : public ControlFixture {};

TEST_F(OfferMenuTest, TheMailingListEntryIsShownBySetting25) {
    StoreSettings({{GameSetting::MailingListItem, "0"}, {GameSetting::MusicOn, "0"}});
    StartProgram();
    EXPECT_FALSE(Form1->Enterourmailinglist1->Visible);
    EXPECT_TRUE(Form1->TellAFried1->Visible);
    StopProgram();
    StoreSettings({{GameSetting::MailingListItem, "1"}});
    StartProgram();
    EXPECT_TRUE(Form1->Enterourmailinglist1->Visible);
}

// The menu's offers come in every run and as often as asked, without
// their "never" choices; the default server makes a sign-up fail at once
// and the match goes on.
TEST_F(OfferMenuTest, TheMenuOffersTheNewsletterAndTellAFriendAnyNumberOfTimes) {
    StartTwoPeopleMatch();
    hook.ExpectModal<TSubscribeNewsletterForm>()
        .Fill([](TSubscribeNewsletterForm& form) {
            EXPECT_FALSE(form.CheckBox1->Visible);
            form.Edit3->Text = "ann@example.org";
            form.Button1->Click();
            form.Button2->Click();
        })
        .Times(2);
    hook.ExpectMessageBox(
            "Newsletter Subscription failed. Please make sure that you are online and try again. "
            "If you are using a personal firewall, please make sure that Korvel is not blocked "
            "from the Internet.")
        .Caption("Subscription failed")
        .Times(2);
    hook.ExpectModal<TRecommendForm>()
        .Fill([](TRecommendForm& form) {
            EXPECT_FALSE(form.Button3->Visible);
            form.Button2->Click();
        })
        .Times(2);
    for (int time = 0; time < 2; ++time) {
        Form1->Enterourmailinglist1->Click();
        Form1->TellAFried1->Click();
    }
    EXPECT_EQ(hook.ModalForms().size(), 5u);
    Play(PutOn(0));
    EXPECT_EQ(Game().History->Count, 2);
}

} // namespace
