// The mailing-list form: its captions by Tag, the question before sending,
// and what the user sees when the mail cannot go out.

#include "online/TEnterMailingListForm.h"
#include "tests/fixtures/MakerServer.h"
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
        hook.ExpectMessageBox(Text(586))
            .Caption("")
            .Flags(MB_YESNO | MB_ICONQUESTION)
            .Press(answer);
    }
};

TEST_F(MailingListTest, TheCaptionsAreTheLanguageTextsOfTheTags) {
    StartIn("de_DE.UTF-8");
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
    makerserver::MakerServer server;
    StartIn("en_US.UTF-8");
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
    EXPECT_TRUE(server.Requests().empty());
}

struct EntryCase {
    const char* name;
    const char* enteredName;
    const char* address;
    const char* post;
};

void PrintTo(const EntryCase& c, std::ostream* out) {
    *out << c.name;
}

class MailingListEntryTest : public MailingListTest,
                             public testing::WithParamInterface<EntryCase> {};

// The fields go out as typed, empty ones too, and the user is thanked.
TEST_P(MailingListEntryTest, TheEntryIsMailedAndTheFormCloses) {
    const EntryCase c = GetParam();
    makerserver::MakerServer server;
    StartIn("en_US.UTF-8");
    ExpectQuestion(IDYES);
    hook.ExpectMessageBox(Text(589)).Caption(Text(590)).Flags(MB_OK | MB_ICONEXCLAMATION |
                                                              MB_TASKMODAL);
    const TModalResult result = Run([&c](TEnterMailingListForm& form) {
        form.Edit1->Text = c.enteredName;
        form.Edit2->Text = c.address;
        form.Button1->Click();
    });
    EXPECT_EQ(result, mrOk);
    const auto mails = server.RequestsTo(makerserver::MailScript);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].body, c.post);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, MailingListEntryTest,
    testing::Values(EntryCase{"Filled", "Ann Lee", "ann@example.org",
                              "subject=Automatic Korvel Mailing list enter&mailfrom=ann@example.org"
                              "&fromname=Ann Lee&body=Name= Ann Lee\nEMail= ann@example.org"
                              "&recipient=Mailinglistentries"},
                    EntryCase{"Empty", "", "",
                              "subject=Automatic Korvel Mailing list enter&mailfrom=&fromname="
                              "&body=Name= \nEMail= &recipient=Mailinglistentries"}),
    [](const testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

// Nothing answers at the default server's name: the user is told, and a
// second OK asks and tries again.
TEST_F(MailingListTest, AFailedSendIsReportedAndMayBeRepeated) {
    StartIn("en_US.UTF-8");
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
