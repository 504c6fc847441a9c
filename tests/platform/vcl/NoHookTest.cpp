// The application object in programs without the GUI test main: with no
// windowing system at all (the support library's tests), and with real
// message boxes and modal loops that nothing answers but the user.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "platform/vcl/Forms.h"
#include "platform/vcl/TestHook.h"
#include "platform/win32/WinTypes.h"
#include "tests/platform/vcl/ExampleForm.h"
#include "tests/support/ScopedEnv.h"

namespace {

// The user, acting on the modal window as soon as it is up.
void WhenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(10, [act] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
        else
            WhenModal(act);
    });
}

// Offscreen, unless whoever runs the tests chose a windowing system.
const char* Platform() {
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    return chosen && *chosen ? chosen : "offscreen";
}

class WithWindows : public testing::Test {
protected:
    const ScopedEnv platform_{"QT_QPA_PLATFORM", Platform()};
    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[2] = {name_, nullptr};
    QApplication app_{argc_, argv_};
};

} // namespace

TEST(NoWindows, AMessageBoxGoesToStandardErrorAndGetsItsDefaultButton) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    testing::internal::CaptureStderr();
    const int result =
        Application->MessageBox("No Singleton created", "Fatal Error", MB_YESNO | MB_DEFBUTTON2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Fatal Error: No Singleton created\n");
    EXPECT_EQ(result, IDNO);
}

TEST(NoWindowsDeathTest, AMessageBoxBeforeAFatalEndNeverBlocks) {
    EXPECT_DEATH(
        {
            Application->MessageBox("Singleton already created in Singleton::GetSingleton",
                                    "Fatal Error", MB_OK | MB_ICONSTOP);
            std::abort();
        },
        "Fatal Error: Singleton already created in Singleton::GetSingleton");
}

TEST(NoWindows, TheHookAnswersWithoutAnyWindowingSystem) {
    TestHook hook;
    hook.ExpectMessageBox("Could not find resource string 12")
        .Flags(MB_ICONEXCLAMATION)
        .Press(IDOK);
    EXPECT_EQ(Application->MessageBox("Could not find resource string 12", "", MB_ICONEXCLAMATION),
              IDOK);
    EXPECT_EQ(hook.MessageBoxes().size(), 1u);
    EXPECT_TRUE(hook.Failures().empty());
}

TEST(NoWindows, ScreenAndHelpAnswerWithoutWindows) {
    EXPECT_EQ(Screen->Width, 0);
    Application->HelpFile = "KORVEL.HLP";
    EXPECT_FALSE(Application->HelpJump("IDH_Spielregeln"));
}

TEST_F(WithWindows, ARealMessageBoxShowsTheButtonsAndIconOfItsFlags) {
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    bool defaultIsNo = false;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        buttons = box->standardButtons();
        icon = box->icon();
        title = box->windowTitle();
        defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
        EXPECT_EQ(box->text().toStdString(), "Surrender?\nReally?");
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(Application->MessageBox("Surrender?\r\nReally?", "Korvel",
                                      MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2),
              IDYES);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(title.toStdString(), "Korvel");
    EXPECT_TRUE(defaultIsNo);
}

TEST_F(WithWindows, ARealModalLoopEndsWithTheButtonsModalResult) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    WhenModal([&](QWidget*) {
        form->RadioButton1->Click();
        form->Button1->Click();
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible);
    EXPECT_EQ(form->Events,
              (std::vector<std::string>{"create", "show", "radio1", "closequery", "close"}));
}

TEST_F(WithWindows, ARefusedCloseKeepsTheModalLoopRunning) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->AllowClose = false;
    int attempts = 0;
    std::function<void(QWidget*)> press = [&](QWidget*) {
        if (++attempts == 3)
            form->AllowClose = true;
        form->Button2->Click();
        if (attempts < 3)
            WhenModal(press);
    };
    WhenModal(press);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(attempts, 3);
}

// Terminate is for good: the test ends its loop in a process of its own,
// so the tests after it still have a running application.
TEST_F(WithWindows, TerminateEndsAModalLoopWithCancel) {
    EXPECT_EXIT(
        {
            std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
            WhenModal([](QWidget*) { Application->Terminate(); });
            const bool cancelled = form->ShowModal() == mrCancel;
            // Straight out: the windowing system is not wound down here.
            std::_Exit(cancelled && Application->Terminated ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
