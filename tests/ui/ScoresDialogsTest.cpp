// The high-score window with its local table, the stage summary of the
// arcade and the enter-name dialog, on the running program with its game
// timer stopped.

#include <gtest/gtest.h>

#include <QTimer>
#include <vector>

#include "platform/vcl/StdCtrls.h"
#include "tests/support/ControlFixture.h"
#include "ui/TAdvanceStageForm.h"
#include "ui/TEnterNameForm.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TScore.h"

namespace {

class ScoresFixture : public ControlFixture {
protected:
    // No match: nothing but the dialog under test runs.
    void SetUp() override { StartIdleProgram(); }
    void StoreTable(const AnsiString& text) { Game().SetSetting(GameSetting::HighScores, text); }
    AnsiString StoredTable() { return Game().GetSetting(GameSetting::HighScores); }
    // The local list as "name/stage/score/country" per record.
    static std::vector<AnsiString> Records(TList* list) {
        std::vector<AnsiString> records;
        for (int i = 0; i < list->Count; ++i) {
            const TScore& s = *static_cast<TScore*>(list->Items[i]());
            records.push_back(s.Name + "/" + IntToStr(s.Stage) + "/" + IntToStr(s.Score) + "/" +
                              s.Country);
        }
        return records;
    }
    // Taken from the memo's whole text at once: a memo splits all its text
    // for every line asked of it.
    static std::vector<AnsiString> Lines(TMemo* memo) {
        TStringList text;
        text.Text = memo->Lines->Text;
        std::vector<AnsiString> lines;
        for (int i = 0; i < text.Count; ++i)
            lines.push_back(text.Strings[i]);
        return lines;
    }
    // Ten records, 1000 down to 100.
    void StoreFullTable() {
        AnsiString text;
        for (int i = 1; i <= 10; ++i)
            text += "P" + IntToStr(i) + "|" + IntToStr(i) + "|" + IntToStr(1100 - 100 * i) + "||";
        StoreTable(text);
        HighScoreForm->LoadScores();
    }
};

// ---- The local table ----

struct LoadCase {
    const char* name;
    const char* stored;
    std::vector<AnsiString> records;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class ScoresLoadTest : public ScoresFixture, public testing::WithParamInterface<LoadCase> {};

TEST_P(ScoresLoadTest, LoadsTheRecordsThatCanBeRead) {
    StoreTable(GetParam().stored);
    HighScoreForm->LoadScores();
    EXPECT_EQ(Records(HighScoreForm->LocalScores), GetParam().records);
    std::vector<AnsiString> names;
    for (const AnsiString& record : GetParam().records)
        names.push_back(record.substr(0, record.find('/')));
    EXPECT_EQ(Lines(HighScoreForm->Memo1), names);
    EXPECT_EQ(Lines(HighScoreForm->Memo2).size(), names.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScoresLoadTest,
    testing::Values(LoadCase{"Empty", "", {}},
                    LoadCase{"OneRecordWithoutCountry", "Anna|3|1250||", {"Anna/3/1250/"}},
                    LoadCase{"SortedByFallingScore",
                             "Bob|2|800||Anna|3|1250|Norway|",
                             {"Anna/3/1250/Norway", "Bob/2/800/"}},
                    LoadCase{"StageNotANumber", "Anna|x|1250||", {}},
                    LoadCase{"ReadingGoesOnAfterADamagedRecord",
                             "Bob|2|800||Anna|x|1250||Cy|1|50||",
                             {"Bob/2/800/", "Cy/1/50/"}},
                    LoadCase{"NoSeparatorAtAll", "just some text", {}},
                    LoadCase{
                        "RestWithoutSeparatorAfterARecord", "Anna|3|1250||tail", {"Anna/3/1250/"}},
                    LoadCase{"CutOffInTheStage", "Anna|3", {}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

// A damaged setting 19 can hold a megabyte: of records that cannot be
// read, which leave the table empty, or of whole records, which are all
// shown in falling order of score.
TEST_F(ScoresFixture, AMegabyteOfStoredTextGivesAClearTable) {
    AnsiString damaged;
    AnsiString whole;
    int count = 0;
    for (; whole.size() < 1024 * 1024; ++count) {
        damaged += "P" + IntToStr(count) + "|x|" + IntToStr(count) + "||";
        whole += "P" + IntToStr(count) + "|1|" + IntToStr(count) + "|Norway|";
    }
    StoreTable(damaged + "no separator after the last record");
    HighScoreForm->LoadScores();
    EXPECT_EQ(HighScoreForm->LocalScores->Count, 0);
    EXPECT_TRUE(Lines(HighScoreForm->Memo1).empty());

    StoreTable(whole);
    HighScoreForm->LoadScores();
    const std::vector<AnsiString> records = Records(HighScoreForm->LocalScores);
    ASSERT_EQ(records.size(), static_cast<size_t>(count));
    EXPECT_EQ(records.front(), "P" + IntToStr(count - 1) + "/1/" + IntToStr(count - 1) + "/Norway");
    EXPECT_EQ(records.back(), "P0/1/0/Norway");
    const std::vector<AnsiString> scores = Lines(HighScoreForm->Memo3);
    ASSERT_EQ(scores.size(), static_cast<size_t>(count));
    EXPECT_EQ(scores.back(), "0");
}

TEST_F(ScoresFixture, SavingWritesTheRecordsInListOrder) {
    StoreTable("Anna|3|1250||");
    HighScoreForm->LoadScores();
    StoreTable("");
    HighScoreForm->SaveScores();
    EXPECT_EQ(StoredTable(), "Anna|3|1250||");
    StoreTable("Bob|2|800||Anna|3|1250||");
    HighScoreForm->LoadScores();
    HighScoreForm->SaveScores();
    EXPECT_EQ(StoredTable(), "Anna|3|1250||Bob|2|800||");
}

TEST_F(ScoresFixture, AnEmptyTextHoldsNoRecord) {
    AnsiString text;
    try {
        TScore score(text);
        FAIL() << "read a record from nothing";
    } catch (const Exception& error) {
        EXPECT_EQ(AnsiString(error.what()), "Cannot load score from empty string");
    }
}

struct InsertCase {
    const char* name;
    bool fullTable;
    int score;
    bool entered;
    int position; // of the new record; -1 when it did not enter
    int count;
};

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << c.name;
}

class ScoresInsertTest : public ScoresFixture, public testing::WithParamInterface<InsertCase> {};

TEST_P(ScoresInsertTest, OnlyTheBestTenStay) {
    const InsertCase& c = GetParam();
    if (c.fullTable) {
        StoreFullTable();
    } else {
        StoreTable("A|1|300||B|1|200||C|1|100||");
        HighScoreForm->LoadScores();
    }
    const AnsiString stored = StoredTable();
    const std::vector<AnsiString> shownBefore = Lines(HighScoreForm->Memo3);
    TList* list = HighScoreForm->LocalScores;
    EXPECT_EQ(HighScoreForm->InsertScore("New", 4, c.score, "", list), c.entered);
    ASSERT_EQ(list->Count, c.count);
    int found = -1;
    for (int i = 0; i < list->Count; ++i)
        if (static_cast<TScore*>(list->Items[i]())->Name == "New")
            found = i;
    EXPECT_EQ(found, c.position);
    for (int i = 1; i < list->Count; ++i)
        EXPECT_GE(static_cast<TScore*>(list->Items[i - 1]())->Score,
                  static_cast<TScore*>(list->Items[i]())->Score);
    if (c.entered)
        EXPECT_EQ(Lines(HighScoreForm->Memo1)[c.position], "New");
    else
        EXPECT_EQ(Lines(HighScoreForm->Memo3), shownBefore);
    EXPECT_EQ(StoredTable(), stored) << "only SaveScores stores";
}

INSTANTIATE_TEST_SUITE_P(Tables, ScoresInsertTest,
                         testing::Values(InsertCase{"BelowAllOfTen", true, 50, false, -1, 10},
                                         InsertCase{"AboveTheLowestOfTen", true, 550, true, 5, 10},
                                         InsertCase{"FewerThanTen", false, 1, true, 3, 4}),
                         [](const testing::TestParamInfo<InsertCase>& info) {
                             return info.param.name;
                         });

TEST_F(ScoresFixture, BothTablesAreShownColumnByColumn) {
    StoreTable("Anna|3|1250||");
    HighScoreForm->LoadScores();
    HighScoreForm->InsertScore("Olaf", 7, 3000, "Norway", HighScoreForm->OnlineScores);
    HighScoreForm->InsertScore("Mia", 5, 2000, "", HighScoreForm->OnlineScores);
    EXPECT_EQ(Lines(HighScoreForm->Memo1), std::vector<AnsiString>{"Anna"});
    EXPECT_EQ(Lines(HighScoreForm->Memo2), std::vector<AnsiString>{"3"});
    EXPECT_EQ(Lines(HighScoreForm->Memo3), std::vector<AnsiString>{"1250"});
    EXPECT_EQ(Lines(HighScoreForm->Memo4), (std::vector<AnsiString>{"Olaf", "Mia"}));
    EXPECT_EQ(Lines(HighScoreForm->Memo7), (std::vector<AnsiString>{"Norway", ""}));
    EXPECT_EQ(Lines(HighScoreForm->Memo5), (std::vector<AnsiString>{"7", "5"}));
    EXPECT_EQ(Lines(HighScoreForm->Memo6), (std::vector<AnsiString>{"3000", "2000"}));
}

// ---- The window ----

TEST_F(ScoresFixture, TheMenuShowsTheStoredTableWithTheIntroductionInFront) {
    StoreTable("Bob|2|800||Anna|3|1250||");
    hook.ExpectModal<THighScoreForm>().Fill([this](THighScoreForm& form) {
        EXPECT_EQ(form.Caption(), Text(260));
        EXPECT_EQ(form.Label1->Caption(), Text(262));
        EXPECT_EQ(form.Label9->Caption(), Text(277));
        EXPECT_EQ(form.Button2->Caption(), Text(266));
        EXPECT_EQ(Lines(form.Memo1), (std::vector<AnsiString>{"Anna", "Bob"}));
        EXPECT_EQ(Lines(form.Memo3), (std::vector<AnsiString>{"1250", "800"}));
        EXPECT_TRUE(Lines(form.Memo4).empty());
        EXPECT_EQ(AnsiString(form.Memo8->Text), Text(691));
        EXPECT_FALSE(form.Panel4->Enabled);
        EXPECT_EQ(form.Panel4->Left, form.Panel3->Left);
        EXPECT_EQ(form.Panel4->Top, form.Panel3->Top);
        EXPECT_EQ(form.Panel4->Width, form.Panel3->Width);
        EXPECT_EQ(form.Panel4->Height, form.Panel3->Height);
        form.Button1->Click();
    });
    ASSERT_TRUE(Form1->ShowHighscores1->Visible);
    Form1->ShowHighscores1->Click();
    hook.Verify();
    ASSERT_EQ(hook.ModalForms().size(), 1u);
    EXPECT_EQ(hook.ModalForms()[0].Result, mrOk);
}

TEST_F(ScoresFixture, HelpOpensTheTopicOfTheGameModes) {
    HighScoreForm->Button3->Click();
    ASSERT_EQ(hook.HelpTopics().size(), 1u);
    EXPECT_EQ(hook.HelpTopics()[0], "IDH_Bedienung_von_Korvel");
}

// ---- The stage summary ----

class StageSummaryTest : public ScoresFixture {
protected:
    // The controller as it stands after a won stage.
    void WonStage(int nextStage, int seconds, int pieces, int score) {
        Game().ArcadeStage = nextStage;
        Game().ArcadeSecondsLeft = seconds;
        Game().ArcadePiecesBonus = pieces;
        Game().ArcadeScore = score;
        form = new TAdvanceStageForm(Form1);
    }
    void TearDown() override {
        delete form;
        ScoresFixture::TearDown();
    }
    static AnsiString Value(TLabel* label) { return label->Caption; }

    TAdvanceStageForm* form = nullptr;
};

TEST_F(StageSummaryTest, ShowsTheSumsAndCountsThemUpOnce) {
    WonStage(2, 100, 7, 0);
    form->FormShow(form);
    EXPECT_EQ(form->Caption(), Text(161) + "1");
    EXPECT_EQ(form->Button1->Caption(), Text(240));
    EXPECT_EQ(form->Label1->Caption(), Text(160) + " 2");
    EXPECT_EQ(Value(form->Label12), "100");
    EXPECT_EQ(Value(form->Label13), "140");
    EXPECT_EQ(Value(form->Label14), "100");
    EXPECT_EQ(Value(form->Label5), "0");
    EXPECT_EQ(Value(form->Label6), "100");
    EXPECT_EQ(Value(form->Label7), "70");
    EXPECT_EQ(Value(form->Label8), "0");
    form->FormPaint(form);
    EXPECT_EQ(Value(form->Label13), "0");
    EXPECT_EQ(Value(form->Label14), "240");
    EXPECT_EQ(Value(form->Label6), "0");
    EXPECT_EQ(Value(form->Label7), "0");
    EXPECT_EQ(Value(form->Label8), "170");
    // Covered and uncovered: the paint comes again and counts nothing.
    form->Label7->Caption = "30";
    form->FormPaint(form);
    EXPECT_EQ(Value(form->Label7), "30");
    EXPECT_EQ(Value(form->Label8), "170");
}

struct SummaryCase {
    const char* name;
    int nextStage, seconds, pieces;
    bool gameOver;
    const char* bonusSeconds;
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
    *os << c.name;
}

class StageSummaryCaseTest : public StageSummaryTest,
                             public testing::WithParamInterface<SummaryCase> {};

TEST_P(StageSummaryCaseTest, CaptionAndBonusTime) {
    const SummaryCase& c = GetParam();
    WonStage(c.nextStage, c.seconds, c.pieces, 400);
    form->FormShow(form);
    EXPECT_EQ(Value(form->Label13), c.bonusSeconds);
    if (c.gameOver) {
        EXPECT_EQ(form->Caption(), "Game Over");
        EXPECT_EQ(form->Button1->Caption(), Text(261));
    } else {
        EXPECT_EQ(form->Caption(), Text(161) + IntToStr(c.nextStage - 1));
        EXPECT_EQ(form->Button1->Caption(), Text(240));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stages, StageSummaryCaseTest,
    testing::Values(SummaryCase{"StageFiveGivesTwentySeconds", 5, 30, 6, false, "20"},
                    SummaryCase{"StageSixGivesNone", 6, 30, 6, false, "0"},
                    SummaryCase{"StageNineGivesNone", 9, 30, 6, false, "0"},
                    SummaryCase{"NoSecondsLeftIsGameOver", 3, 0, 9, true, "100"},
                    SummaryCase{"FourPiecesIsGameOver", 3, 50, 4, true, "100"},
                    SummaryCase{"FivePiecesGoOn", 3, 50, 5, false, "100"}),
    [](const testing::TestParamInfo<SummaryCase>& info) { return info.param.name; });

TEST_F(StageSummaryTest, TheButtonDuringTheCountClosesTheDialogAtOnce) {
    WonStage(2, 100, 7, 0);
    // Every unit of the count lets the event loop pass; the button is
    // pressed on the first pass after the count has begun.
    int timeAtPress = 0;
    auto press = OnEveryPass([&] {
        const int time = StrToInt(Value(form->Label14));
        if (timeAtPress > 0 || time <= 100)
            return;
        timeAtPress = time;
        form->Button1->Click();
    });
    // The count starts with the first paint, inside the modal call; the
    // button's result is the dialog's.
    hook.ExpectModal<TAdvanceStageForm>();
    EXPECT_EQ(form->ShowModal(), mrOk);
    ASSERT_GT(timeAtPress, 0) << "the button was pressed during the count";
    EXPECT_LE(StrToInt(Value(form->Label14)), timeAtPress + 1) << "the count stopped at once";
    EXPECT_EQ(Value(form->Label8), "0") << "the score was not counted";
}

// ---- The enter-name dialog ----

struct AddressCase {
    const char* name;
    const char* address;
    bool accepted;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.name;
}

class EnterNameTest : public ScoresFixture, public testing::WithParamInterface<AddressCase> {};

TEST_P(EnterNameTest, OkWantsAnAddressWithAnAtSign) {
    const AddressCase& c = GetParam();
    if (!c.accepted)
        hook.ExpectMessageBox(Text(165)).Caption(Text(43)).Flags(MB_OK | MB_ICONEXCLAMATION);
    bool closedAtOnce = false;
    hook.ExpectModal<TEnterNameForm>().Fill([&](TEnterNameForm& form) {
        EXPECT_EQ(form.Caption(), Text(253));
        EXPECT_EQ(form.Label1->Caption(), Text(250));
        EXPECT_EQ(form.Label3->Caption(), Text(278));
        form.Edit1->Text = c.address;
        form.Button1->Click();
        closedAtOnce = form.ModalResult == mrOk;
        if (!closedAtOnce) {
            form.Edit1->Text = "a@b";
            form.Button1->Click();
        }
    });
    EnterNameForm = new TEnterNameForm(Form1);
    EXPECT_EQ(EnterNameForm->ShowModal(), mrOk);
    hook.Verify();
    EXPECT_EQ(closedAtOnce, c.accepted);
    EXPECT_EQ(AnsiString(EnterNameForm->Edit2->Text), "") << "an empty country is taken";
    delete EnterNameForm;
    EnterNameForm = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Addresses, EnterNameTest,
                         testing::Values(AddressCase{"Empty", "", false},
                                         AddressCase{"WithoutAt", "anna.example", false},
                                         AddressCase{"AtAlone", "@", true},
                                         AddressCase{"NoDomain", "anna@", true},
                                         AddressCase{"Full", "anna@example.org", true}),
                         [](const testing::TestParamInfo<AddressCase>& info) {
                             return info.param.name;
                         });

TEST_F(ScoresFixture, NoWayOfClosingWithoutAnAddress) {
    hook.ExpectMessageBox(Text(174)).Caption(Text(43)).Flags(MB_OK | MB_ICONEXCLAMATION).Times(2);
    TEnterNameForm form(Form1);
    EXPECT_FALSE(form.CloseQuery());
    // The close box, outside a modal call: the dialog stays.
    form.Show();
    form.CloseFromWindow();
    EXPECT_TRUE(form.Visible);
    hook.Verify();
    form.Edit1->Text = "x";
    EXPECT_TRUE(form.CloseQuery()) << "closing needs any address, only OK wants an @";
}

} // namespace
