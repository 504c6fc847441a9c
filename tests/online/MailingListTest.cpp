// The mailing-list form: its captions by Tag, the question before sending,
// and what the user sees when the mail cannot go out.

#include "online/TEnterMailingListForm.h"
#include "tests/online/OfferFixture.h"

namespace {

class MailingListTest : public OfferFixture {
protected:
    // The form as the program entry creates it, shown modally; `fill`
    // plays the user.
    TModalResult Run(std::function<void(TEnterMailingListForm&)> fill) {
        EnterMailingListForm = new TEnterMailingListForm(Application);
        hook.ExpectModal<TEnterMailingListForm>().Fill(std::move(fill));
        const TModalResult result = EnterMailingListForm->ShowModal();
        delete EnterMailingListForm;
        EnterMailingListForm = nullptr;
        return result;
    }
    void ExpectQuestion(int answer) {
        hook.ExpectMessageBox(Text(586)).Caption("").Flags(MB_YESNO | MB_ICONQUESTION).Press(
            answer);
    }
};

TEST_F(MailingListTest, TheCaptionsAreTheLanguageTextsOfTheTags) {
    StartServices("de_DE.UTF-8");
    Run([this](TEnterMailingListForm& form) {
        EXPECT_EQ(form.Caption(), Text(580));
        EXPECT_EQ(form.Label1->Caption(), Text(581));
        EXPECT_EQ(form.Label2->Caption(), Text(582));
        EXPECT_EQ(form.Label3->Caption(), Text(583));
        EXPECT_EQ(form.Button1->Caption(), Text(585));
        EXPECT_EQ(form.Button2->Caption(), Text(584));
        EXPECT_NE(Text(581).find("Mailingliste"), AnsiString::npos);
        form.Button2->Click();
    });
    EXPECT_EQ(hook.ModalForms()[0].Result, mrCancel);
}

TEST_F(MailingListTest, NoAtTheQuestionSendsNothingAndKeepsTheFormOpen) {
    StartServices("en_US.UTF-8");
    ExpectQuestion(IDNO);
    hook.ExpectMessageBox(Text(587)).Caption(Text(43)).Flags(MB_OK | MB_ICONSTOP);
    const TModalResult result = Run([](TEnterMailingListForm& form) {
        form.Edit1->Text = "Ann";
        form.Edit2->Text = "ann@example.org";
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, mrNone);
        form.Button2->Click();
    });
    EXPECT_EQ(result, mrCancel);
}

// Nothing answers at the default server's name: the user is told, and a
// second OK asks and tries again.
TEST_F(MailingListTest, AFailedSendIsReportedAndMayBeRepeated) {
    StartServices("en_US.UTF-8");
    for (int attempt = 0; attempt < 2; ++attempt) {
        ExpectQuestion(IDYES);
        hook.ExpectMessageBox(Text(587)).Caption(Text(588)).Flags(MB_OK | MB_ICONSTOP);
    }
    const TModalResult result = Run([](TEnterMailingListForm& form) {
        form.Edit1->Text = "Ann";
        form.Edit2->Text = "ann@example.org";
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, mrNone);
        form.Button1->Click();
        form.Button2->Click();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(hook.MessageBoxes().size(), 4u);
}

} // namespace
