#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/TestHook.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

const AnsiString LanguageKey = "Tq4WmZ8rKd2PxL7vNc3HbJ6yFs9GeA1UoR5iXw0QkM2n";

class LanguageTest : public testing::Test {
protected:
    void SetUp() override { UseLocale("en_GB.UTF-8"); }

    void UseLocale(const char* locale) {
        for (const ScopedEnv& variable : locale_)
            variable.Set(locale);
    }
    AnsiString LanguageFile(const AnsiString& contents) {
        const std::string name = "Languages-" + std::to_string(++files_) + ".rc";
        folder.Write(name, contents);
        return folder.File(name);
    }
    void ExpectNotFoundBox(int number) {
        hook.ExpectMessageBox("Could not find resource string " + IntToStr(number))
            .Caption("")
            .Flags(MB_ICONEXCLAMATION);
    }

    TGlobalBlowFish cipher;
    TestHook hook{[](const AnsiString& failure) { ADD_FAILURE() << failure; }};

    const TempFolder folder{"languages"};

private:
    int files_ = 0;
    const ScopedEnv locale_[3] = {{"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr}, {"LANG", nullptr}};
};

TEST_F(LanguageTest, GermanLocalesSelectTheGermanTexts) {
    const AnsiString file = LanguageFile("12 \"Twelve\"\r\n2012 \"Zwölf\"\r\n");
    const struct {
        const char* locale;
        int base;
        const char* text;
    } cases[] = {
        {"de_DE.UTF-8", 2000, "Zwölf"}, {"de_AT", 2000, "Zwölf"},
        {"de_CH.UTF-8", 2000, "Zwölf"}, {"en_US.UTF-8", 0, "Twelve"},
        {"fr_FR.UTF-8", 0, "Twelve"},   {"C", 0, "Twelve"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        UseLocale(c.locale);
        TMyLanguages languages(file, true);
        EXPECT_EQ(TMyLanguages::GetLanguageBase(), c.base);
        EXPECT_EQ(languages.GetString(12), c.text);
    }
}

TEST_F(LanguageTest, FirstLineHoldingTheNumberBeforeItsQuoteWins) {
    TMyLanguages languages(LanguageFile("; comment without quotes 12\r\n"
                                        "\"only quote comes before 12\r\n"
                                        "id 15 = \"fifteen\" trailing \"ignored\"\r\n"
                                        "5 \"five\"\r\n"
                                        "12\t\"twelve\"\r\n"),
                           true);
    EXPECT_EQ(languages.GetString(12), "twelve");
    EXPECT_EQ(languages.GetString(15), "fifteen");
    // A number is found as a substring: 15 answers for 5 and 1.
    EXPECT_EQ(languages.GetString(5), "fifteen");
    EXPECT_EQ(languages.GetString(1), "fifteen");
}

TEST_F(LanguageTest, PlainFileEscapes) {
    TMyLanguages languages(LanguageFile("1 \"it\\\"s\"\r\n"
                                        "2 \"a\\\\nb\"\r\n"
                                        "3 \"x\\r\\ny\"\r\n"
                                        "4 \"back\\\\slash\"\r\n"),
                           true);
    EXPECT_EQ(languages.GetString(1), "it's");
    EXPECT_EQ(languages.GetString(2), "a\nb");
    EXPECT_EQ(languages.GetString(3), "x\r\ny");
    EXPECT_EQ(languages.GetString(4), "back\\slash");
}

TEST_F(LanguageTest, MissingOrEmptyTextIsReportedAndEmpty) {
    TMyLanguages languages(LanguageFile("7 \"\"\r\n8 \"eight\"\r\n"), true);
    ExpectNotFoundBox(99);
    ExpectNotFoundBox(7);
    EXPECT_EQ(languages.GetString(99), "");
    EXPECT_EQ(languages.GetString(7), "");
    EXPECT_EQ(languages.GetString(0), "");
    EXPECT_EQ(hook.MessageBoxes().size(), 2u);
}

TEST_F(LanguageTest, FileWithoutQuotesOrNumbersAnswersNotFound) {
    for (const AnsiString& contents :
         {AnsiString("just words\r\nno quotes at all\r\n"), AnsiString("\"a\" \"b\"\r\n\"c\"\r\n"),
          AnsiString(""), AnsiString("\xFF\xFE\x00garbage\x01", 12)}) {
        TMyLanguages languages(LanguageFile(contents), true);
        ExpectNotFoundBox(5);
        EXPECT_EQ(languages.GetString(5), "");
    }
}

TEST_F(LanguageTest, GermanBaseShowsTheNumberAsAskedFor) {
    UseLocale("de_DE.UTF-8");
    TMyLanguages languages(LanguageFile("12 \"English only\"\r\n"), true);
    ExpectNotFoundBox(12);
    EXPECT_EQ(languages.GetString(12), "");
}

TEST_F(LanguageTest, EncipheredFileDeciphersEachText) {
    const AnsiString line = cipher.Encrypt("Hello\\nWorld", LanguageKey);
    const AnsiString quoted = cipher.Encrypt("it\\\"s", LanguageKey);
    TMyLanguages languages(LanguageFile("mode=enc\r\n"
                                        "12 \"" +
                                        line +
                                        "\"\r\n"
                                        "13 \"not radix-64!\"\r\n"
                                        "14 \"" +
                                        quoted +
                                        "\"\r\n"
                                        "15 \"zzzz\"\r\n"),
                           true);
    EXPECT_EQ(languages.GetString(12), "Hello\nWorld");
    EXPECT_EQ(languages.GetString(14), "it\\\"s"); // no apostrophe in enciphered files
    ExpectNotFoundBox(13);
    ExpectNotFoundBox(15);
    EXPECT_EQ(languages.GetString(13), "");
    EXPECT_EQ(languages.GetString(15), "");
}

TEST_F(LanguageTest, MissingFileReachesTheCreator) {
    EXPECT_THROW(TMyLanguages(folder.File("no-such-Languages.rc"), true), EFOpenError);
    // The failed instance did not stay registered.
    TMyLanguages languages(LanguageFile("1 \"one\"\r\n"), true);
    EXPECT_EQ(Singleton<TMyLanguages>::GetSingleton().GetString(1), "one");
}

TEST_F(LanguageTest, WriteCaptionTranslatesByTag) {
    TMyLanguages languages(LanguageFile("100 \"Form caption\"\r\n"
                                        "101 \"Check\"\r\n"
                                        "102 \"Memo line one\\r\\nline two\"\r\n"
                                        "103 \"Group\"\r\n"
                                        "104 \"Radio in group\"\r\n"
                                        "105 \"Radio group\"\r\n"
                                        "106 \"Radio\"\r\n"
                                        "107 \"Button\"\r\n"
                                        "108 \"Label\"\r\n"
                                        "109 \"Menu item\"\r\n"
                                        "110 \"Owned by menu\"\r\n"
                                        "111 \"Label in frame\"\r\n"
                                        "112 \"Separator text\"\r\n"),
                           true);
    auto form = std::make_unique<TForm>(nullptr);
    form->Tag = 100;
    auto make = [&](auto* component, int tag, const char* caption) {
        component->Tag = tag;
        component->Caption = caption;
        return component;
    };
    auto* check = make(new TCheckBox(form.get()), 101, "c");
    auto* memo = new TMemo(form.get());
    memo->Tag = 102;
    auto* group = make(new TGroupBox(form.get()), 103, "g");
    auto* groupRadio = make(new TRadioButton(group), 104, "gr");
    auto* radioGroup = make(new TRadioGroup(form.get()), 105, "rg");
    auto* radio = make(new TRadioButton(form.get()), 106, "r");
    auto* button = make(new TButton(form.get()), 107, "b");
    auto* untouched = make(new TButton(form.get()), -1, "keep me");
    auto* label = make(new TLabel(form.get()), 108, "l");
    auto* emptied = make(new TLabel(form.get()), 0, "emptied");
    auto* menu = new TMainMenu(form.get());
    auto* item = make(new TMenuItem(form.get()), 109, "i");
    auto* separator = make(new TMenuItem(form.get()), 112, "-");
    auto* untagged = make(new TMenuItem(form.get()), 0, "&Untagged");
    auto* menuOwned = make(new TMenuItem(menu), 110, "m");
    auto* frame = make(new TFrame(form.get()), 111, "frame caption");
    auto* frameLabel = make(new TLabel(frame), 111, "fl");
    auto* edit = new TEdit(form.get());
    edit->Tag = 101;
    edit->Text = "typed";

    languages.WriteCaption(form.get());

    EXPECT_EQ(form->Caption(), "Form caption");
    EXPECT_EQ(check->Caption(), "Check");
    ASSERT_EQ(memo->Lines->Count, 2);
    EXPECT_EQ(memo->Lines->Strings[0](), "Memo line one");
    EXPECT_EQ(memo->Lines->Strings[1](), "line two");
    EXPECT_EQ(group->Caption(), "Group");
    EXPECT_EQ(groupRadio->Caption(), "Radio in group");
    EXPECT_EQ(radioGroup->Caption(), "Radio group");
    EXPECT_EQ(radio->Caption(), "Radio");
    EXPECT_EQ(button->Caption(), "Button");
    EXPECT_EQ(untouched->Caption(), "keep me");
    EXPECT_EQ(label->Caption(), "Label");
    EXPECT_EQ(emptied->Caption(), "");
    EXPECT_EQ(item->Caption(), "Menu item");
    EXPECT_EQ(separator->Caption(), "-");
    EXPECT_EQ(untagged->Caption(), "&Untagged");
    EXPECT_EQ(menuOwned->Caption(), "Owned by menu");
    EXPECT_EQ(frame->Caption(), "frame caption");
    EXPECT_EQ(frameLabel->Caption(), "Label in frame");
    EXPECT_EQ(edit->Text(), "typed");
    EXPECT_TRUE(hook.MessageBoxes().empty());
}

TEST_F(LanguageTest, LibraryModeReadsTheStringTable) {
    TMyLanguages languages(LANGUAGE_PACK, false);
    EXPECT_EQ(languages.GetString(12), "Twelve from the library");
    // Library texts keep their backslashes: only the file's texts are unescaped.
    EXPECT_EQ(languages.GetString(40), "Line one\\nstays as written");
    ExpectNotFoundBox(13);
    EXPECT_EQ(languages.GetString(13), "");
}

TEST_F(LanguageTest, LibraryModeUsesTheGermanBaseToo) {
    UseLocale("de_DE.UTF-8");
    TMyLanguages languages(LANGUAGE_PACK, false);
    EXPECT_EQ(languages.GetString(12), "Zwölf aus der Bibliothek");
}

TEST(LanguageDeathTest, LibraryThatCannotBeLoadedIsFatal) {
    const TempFolder folder("languages");
    EXPECT_DEATH(TMyLanguages(folder.File("no-such-library.dll"), false),
                 "Assertion failed: Languages class not ready after call to "
                 "TMyLanguages::SetDLLName");
}

} // namespace
