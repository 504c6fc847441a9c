#include <gtest/gtest.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/TestHook.h"
#include "platform/win32/WinTypes.h"

TEST(MessageBoxHook, AnswersWithThePressedButtonAndRecordsTheBox) {
    TestHook hook;
    hook.ExpectMessageBox("Do you really want to surrender the match?")
        .Caption("Surrender")
        .Flags(MB_YESNO | MB_TASKMODAL)
        .Press(IDNO);
    EXPECT_EQ(Application->MessageBox("Do you really want to surrender the match?", "Surrender",
                                      MB_YESNO | MB_TASKMODAL),
              IDNO);
    ASSERT_EQ(hook.MessageBoxes().size(), 1u);
    const MessageBoxCall& box = hook.MessageBoxes()[0];
    EXPECT_EQ(box.Text, "Do you really want to surrender the match?");
    EXPECT_EQ(box.Caption, "Surrender");
    EXPECT_EQ(box.Flags, MB_YESNO | MB_TASKMODAL);
    EXPECT_EQ(box.Result, IDNO);
    EXPECT_TRUE(box.Expected);
    EXPECT_TRUE(hook.Failures().empty());
}

TEST(MessageBoxHook, ExpectationsAreMetInOrderAndOnlyAsOftenAsStated) {
    TestHook hook;
    hook.ExpectMessageBox("Again?").Press(IDYES).Times(2);
    hook.ExpectMessageBox("Again?").Press(IDNO);
    hook.ExpectMessageBox("Saved").Repeatedly();
    std::vector<int> answers;
    for (int i = 0; i < 3; ++i)
        answers.push_back(Application->MessageBox("Again?", "", MB_YESNO));
    for (int i = 0; i < 4; ++i)
        answers.push_back(Application->MessageBox("Saved", "", MB_OK));
    EXPECT_EQ(answers, (std::vector<int>{IDYES, IDYES, IDNO, IDOK, IDOK, IDOK, IDOK}));
}

// The action runs while the box is open: a box shown inside it is
// answered and recorded before the outer box is answered.
TEST(MessageBoxHook, AnActionRunsWhileTheBoxIsOpen) {
    TestHook hook;
    std::vector<AnsiString> order;
    hook.ExpectMessageBox("Draw?").Press(IDNO).WhileOpen([&] {
        order.push_back("open");
        order.push_back(Application->MessageBox("Chat", "", MB_OK) == IDOK ? "inner" : "?");
    });
    hook.ExpectMessageBox("Chat");
    EXPECT_EQ(Application->MessageBox("Draw?", "", MB_YESNO), IDNO);
    EXPECT_EQ(order, (std::vector<AnsiString>{"open", "inner"}));
    ASSERT_EQ(hook.MessageBoxes().size(), 2u);
    EXPECT_EQ(hook.MessageBoxes()[0].Text, "Draw?");
    EXPECT_EQ(hook.MessageBoxes()[0].Result, IDNO);
    EXPECT_EQ(hook.MessageBoxes()[1].Text, "Chat");
}

TEST(MessageBoxHook, CaptionAndFlagsNarrowTheMatch) {
    std::vector<AnsiString> failures;
    TestHook hook([&](const AnsiString& m) { failures.push_back(m); });
    hook.ExpectMessageBox("Illegal move").Caption("Sorry").Flags(MB_ICONEXCLAMATION).Press(IDOK);
    EXPECT_EQ(Application->MessageBox("Illegal move", "Oops", MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(Application->MessageBox("Illegal move", "Sorry", MB_ICONSTOP), IDOK);
    EXPECT_EQ(Application->MessageBox("Illegal move", "Sorry", MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0],
              "unexpected message box \"Illegal move\" (caption \"Oops\", flags 0x30)");
    EXPECT_FALSE(hook.MessageBoxes()[1].Expected);
    EXPECT_TRUE(hook.MessageBoxes()[2].Expected);
}

TEST(MessageBoxHook, AnUnexpectedBoxFailsAndGetsItsDefaultButton) {
    std::vector<AnsiString> failures;
    TestHook hook([&](const AnsiString& m) { failures.push_back(m); });
    EXPECT_EQ(Application->MessageBox("Quit?", "Korvel", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(hook.Failures(), failures);
}

TEST(MessageBoxHook, AHookTakesOverTheReporterOfTheHookBeforeIt) {
    std::vector<AnsiString> failures;
    TestHook outer([&](const AnsiString& m) { failures.push_back("outer: " + m); });
    {
        TestHook inner;
        Application->MessageBox("Nobody expects this", "", MB_OK);
        EXPECT_EQ(Application->Hook(), &inner);
    }
    EXPECT_EQ(Application->Hook(), &outer);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind("outer: unexpected message box \"Nobody expects this\"", 0), 0u);
}

TEST(MessageBoxFlags, TheDefaultButtonFollowsTheButtonsAndTheDefaultFlag) {
    const struct {
        int flags;
        int id;
    } cases[] = {{MB_OK, IDOK},
                 {MB_OK | MB_DEFBUTTON2, IDOK},
                 {MB_OKCANCEL, IDOK},
                 {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                 {MB_YESNO | MB_ICONQUESTION, IDYES},
                 {MB_YESNO | MB_DEFBUTTON2, IDNO},
                 {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
                 {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
                 {MB_RETRYCANCEL, IDRETRY}};
    for (const auto& c : cases)
        EXPECT_EQ(DefaultButtonOf(c.flags), c.id) << std::hex << c.flags;
}

TEST(MessageBoxHook, HelpRequestsAreRecorded) {
    TestHook hook;
    Application->HelpFile = "";
    EXPECT_FALSE(Application->HelpJump("IDH_Spielregeln"));
    EXPECT_FALSE(Application->HelpCommand(HELP_CONTENTS, 0));
    EXPECT_EQ(hook.HelpTopics(), (std::vector<AnsiString>{"IDH_Spielregeln", ""}));
}

TEST(MessageBoxHook, AnExceptionIsShownWithTheTitleAsCaption) {
    TestHook hook;
    Application->Title = "Korvel";
    hook.ExpectMessageBox("tried to make illegal move - Put.")
        .Caption("Korvel")
        .Flags(MB_OK | MB_ICONSTOP);
    hook.ExpectMessageBox("Cannot open file \"x\".").Caption("Korvel");
    hook.ExpectMessageBox("computer has no move to make!!!").Caption("Korvel");
    Application->ShowException(Exception("tried to make illegal move - Put"));
    Application->ShowException(Exception("Cannot open file \"x\"."));
    Application->ShowException(Exception("computer has no move to make!!!"));
}
