// The player-selection dialog, as the first tick of the program opens it.

#include <vector>

#include "game/gamecontrol.h"
#include "tests/support/GameFixture.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

using Form = TPlayerSelectionForm;

std::vector<AnsiString> Lines(const AnsiString& text) {
    TStringList list;
    list.Text = text;
    std::vector<AnsiString> lines;
    for (int i = 0; i < list.Count; ++i)
        lines.push_back(list[i]);
    return lines;
}

std::vector<AnsiString> Lines(TStrings* strings) {
    std::vector<AnsiString> lines;
    for (int i = 0; i < strings->Count; ++i)
        lines.push_back(strings->Strings[i]);
    return lines;
}

class PlayerSelectionTest : public GameFixture {
protected:
    // Starts the program with these settings stored and lets its first
    // tick open the dialog, which `fill` answers.
    void OpenDialog(const std::map<int, AnsiString>& settings, std::function<void(Form&)> fill,
                    TModalResult result = mrNone) {
        StartProgram();
        for (const auto& [index, value] : settings)
            Game().SetSetting(index, value);
        ExpectWelcome();
        auto answer = hook.ExpectModal<Form>().Fill(std::move(fill));
        if (result != mrNone)
            answer.Result(result);
        ASSERT_TRUE(RunUntil([this] { return hook.ModalForms().size() == 1; }));
    }
    AnsiString Setting(int index) { return Game().GetSetting(index); }
};

TEST_F(PlayerSelectionTest, ItShowsTheTextsAndTheStoredChoicesOfTheFirstStart) {
    OpenDialog(
        {},
        [this](Form& form) {
            EXPECT_EQ(form.Tag, 280);
            EXPECT_EQ(form.Caption(), Text(280));
            EXPECT_EQ(form.ClientWidth, 612);
            EXPECT_EQ(form.ClientHeight, 284);
            EXPECT_EQ(form.BorderStyle, bsDialog);
            const std::pair<TControl*, int> captions[] = {
                {form.Label2, 294},       {form.Label3, 295},       {form.GroupBox4, 282},
                {form.RadioButton4, 296}, {form.RadioButton2, 289}, {form.RadioButton3, 288},
                {form.RadioButton1, 290}, {form.RadioButton6, 291}, {form.GroupBox3, 283},
                {form.Label5, 292},       {form.Label4, 293},       {form.RadioGroup1, 284},
                {form.GroupBox1, 297},    {form.Button2, 285},      {form.Button1, 286},
                {form.Button3, 287}};
            for (const auto& [control, tag] : captions) {
                EXPECT_EQ(control->Tag, tag) << control->Name;
                EXPECT_EQ(control->Caption(), Text(tag)) << control->Name;
            }
            EXPECT_EQ(Lines(form.RadioGroup1->Items), Lines(Text(99)));
            EXPECT_EQ(form.RadioGroup1->Columns, 2);
            EXPECT_EQ(Lines(form.ComboBox1->Items), Lines(Text(82)));
            EXPECT_EQ(form.CSpinEdit1->MinValue, 1);
            EXPECT_EQ(form.CSpinEdit1->MaxValue, 17);
            EXPECT_EQ(form.CSpinEdit1->Increment, 2);
            EXPECT_EQ(form.CSpinEdit1->Value, 3);
            EXPECT_TRUE(form.Button1->Default);
            EXPECT_EQ(form.Button3->ModalResult, 2);
            // The stored choice is the tutorial; every choice is offered.
            EXPECT_TRUE(form.RadioButton4->Checked);
            EXPECT_TRUE(form.RadioButton4->Enabled);
            EXPECT_TRUE(form.RadioButton3->Enabled);
            EXPECT_TRUE(form.RadioButton6->Enabled);
            EXPECT_EQ(form.Edit1->Text(), Text(103));
            EXPECT_EQ(form.Edit2->Text(), "");
            EXPECT_EQ(form.Label1->Caption(), Text(296) + Text(146));
            EXPECT_EQ(form.RadioGroup1->ItemIndex, 1);
            EXPECT_EQ(form.ComboBox1->ItemIndex, 0);
            EXPECT_EQ(form.Image1->Picture->Width, 169);
            EXPECT_EQ(form.Image1->Picture->Height, 129);
        },
        mrCancel);
}

struct ChoiceCase {
    const char* name;
    void (Form::*handler)(TObject*);
    bool difficulty, matchLength, secondName, secondNameLabel;
    bool computerName; // Edit1 shows the computer's name, else setting 6
    int choiceText, hintText;
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
    *out << c.name;
}

class OpponentChoiceTest : public PlayerSelectionTest,
                           public testing::WithParamInterface<ChoiceCase> {};

TEST_P(OpponentChoiceTest, TheHandlerEnablesWhatTheChoiceNeedsAndShowsItsHint) {
    const ChoiceCase c = GetParam();
    OpenDialog(
        {{GameSetting::Player2Name, "Ben"}, {GameSetting::Difficulty, "3"}},
        [this, c](Form& form) {
            form.Edit1->Text = "typed";
            form.RadioGroup1->ItemIndex = 0;
            (form.*c.handler)(&form);
            EXPECT_EQ(bool(form.RadioGroup1->Enabled), c.difficulty);
            EXPECT_EQ(bool(form.CSpinEdit1->Enabled), c.matchLength);
            EXPECT_EQ(bool(form.Label5->Enabled), c.matchLength);
            EXPECT_EQ(bool(form.Label4->Enabled), c.matchLength);
            EXPECT_EQ(bool(form.Edit1->Enabled), c.secondName);
            EXPECT_EQ(bool(form.Label3->Enabled), c.secondNameLabel);
            EXPECT_TRUE(form.Edit2->Enabled);
            if (c.handler == &Form::RadioButton6Click)
                EXPECT_EQ(form.Edit1->Text(), "typed");
            else
                EXPECT_EQ(form.Edit1->Text(), c.computerName ? Text(103) : AnsiString("Ben"));
            EXPECT_EQ(form.Label1->Caption(), Text(c.choiceText) + Text(c.hintText));
            // Only the classic choice restores the stored difficulty.
            EXPECT_EQ(form.RadioGroup1->ItemIndex, c.handler == &Form::RadioButton2Click ? 3 : 0);
        },
        mrCancel);
}

INSTANTIATE_TEST_SUITE_P(Choices, OpponentChoiceTest,
                         testing::Values(ChoiceCase{"Classic", &Form::RadioButton2Click, true, true,
                                                    false, true, true, 289, 147},
                                         ChoiceCase{"SecondPerson", &Form::RadioButton1Click, false,
                                                    true, true, true, false, 290, 149},
                                         ChoiceCase{"Network", &Form::RadioButton6Click, false,
                                                    false, false, false, false, 291, 150},
                                         ChoiceCase{"Arcade", &Form::RadioButton3Click, false,
                                                    false, false, false, true, 288, 148},
                                         ChoiceCase{"Tutorial", &Form::RadioButton4Click, false,
                                                    false, false, false, true, 296, 146}),
                         [](const testing::TestParamInfo<ChoiceCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PlayerSelectionTest, TheSecondPersonsNameComesBackFromTheSettingsNotFromTyping) {
    OpenDialog(
        {{GameSetting::GameType, "2"}, {GameSetting::Player2Name, "Ben"}},
        [this](Form& form) {
            EXPECT_TRUE(form.RadioButton1->Checked);
            EXPECT_EQ(form.Edit1->Text(), "Ben");
            EXPECT_EQ(form.Label1->Caption(), Text(290) + Text(149));
            form.Edit1->Text = "Zed";
            form.RadioButton2->Click();
            EXPECT_EQ(form.Edit1->Text(), Text(103));
            form.RadioButton1->Click();
            EXPECT_EQ(form.Edit1->Text(), "Ben");
        },
        mrCancel);
}

TEST_F(PlayerSelectionTest, OkRefusesEmptyNamesAfterStoringTheGraphicsSet) {
    const int refusals = 2;
    OpenDialog({{GameSetting::GameType, "2"}}, [this](Form& form) {
        hook.ExpectMessageBox(Text(139)).Caption(Text(43)).Flags(MB_ICONSTOP);
        hook.ExpectMessageBox(Text(140)).Caption(Text(43)).Flags(MB_ICONSTOP);
        form.ComboBox1->ItemIndex = 3;
        form.ComboBox1Change(&form);
        form.Edit1->Text = "";
        form.Edit2->Text = "Ann";
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, mrNone);
        EXPECT_EQ(Setting(GameSetting::GraphicsSet), "3");
        EXPECT_EQ(Setting(GameSetting::Player1Name), "");
        form.Edit1->Text = "Ben";
        form.Edit2->Text = "";
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, mrNone);
        form.Edit2->Text = "Ann";
        form.CSpinEdit1->Value = 7;
        form.Button1->Click();
        EXPECT_EQ(form.ModalResult, 1);
    });
    EXPECT_EQ(static_cast<int>(hook.MessageBoxes().size()), 1 + refusals);
    EXPECT_EQ(Setting(GameSetting::Player1Name), "Ann");
    EXPECT_EQ(Setting(GameSetting::Player2Name), "Ben");
    EXPECT_EQ(Setting(GameSetting::GameType), "2");
    EXPECT_EQ(Setting(GameSetting::MatchLength), "7");
    // The match is built from the dialog.
    EXPECT_EQ(Game().GameMode, TwoPeopleMode);
    EXPECT_EQ(Game().MatchLength, 7);
}

TEST_F(PlayerSelectionTest, AClassicChoiceIsStoredWithItsDifficulty) {
    OpenDialog({}, [](Form& form) {
        form.RadioButton2->Click();
        form.Edit2->Text = "Ann";
        form.RadioGroup1->ItemIndex = 2;
        form.Button1->Click();
    });
    EXPECT_EQ(Setting(GameSetting::GameType), "1");
    EXPECT_EQ(Setting(GameSetting::Difficulty), "2");
    EXPECT_EQ(Setting(GameSetting::MatchLength), "3");
    EXPECT_EQ(Setting(GameSetting::Player2Name), "");
    EXPECT_EQ(Game().GameMode, ClassicMode);
}

TEST_F(PlayerSelectionTest, ADifficultyClickShowsItsHintAndIsStoredAtOnce) {
    OpenDialog(
        {},
        [this](Form& form) {
            const int hints[] = {138, 141, 142, 143};
            for (int index = 0; index < 4; ++index) {
                form.RadioGroup1->ItemIndex = index;
                form.RadioGroup1Click(&form);
                EXPECT_EQ(form.Label1->Caption(), Text(hints[index]));
                EXPECT_EQ(Setting(GameSetting::Difficulty), IntToStr(index));
            }
        },
        mrCancel);
    EXPECT_EQ(Setting(GameSetting::Difficulty), "3");
}

TEST_F(PlayerSelectionTest, AGraphicsSetSwitchesTheBoardAtOnceEvenWhenTheGameIsQuit) {
    HINSTANCE before = nullptr;
    OpenDialog(
        {},
        [&before](Form& form) {
            before = Form1->GraphicsLibrary;
            form.ComboBox1->ItemIndex = 3;
            form.ComboBox1Change(&form);
            EXPECT_NE(Form1->GraphicsLibrary, before);
            EXPECT_EQ(form.Image1->Picture->Width, 169);
        },
        mrCancel);
    EXPECT_NE(Form1->GraphicsLibrary, before);
    EXPECT_EQ(Setting(GameSetting::GraphicsSet), "0");
}

TEST_F(PlayerSelectionTest, HelpOpensTheTopicOfTheGameModes) {
    OpenDialog(
        {}, [](Form& form) { form.Button2->Click(); }, mrCancel);
    ASSERT_EQ(hook.HelpTopics().size(), 1u);
    EXPECT_EQ(hook.HelpTopics()[0], "IDH_Bedienung_von_Korvel");
}

} // namespace
