#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/TestHook.h"
#include "tests/platform/vcl/ExampleForm.h"
#include "tests/support/Pump.h"

namespace {

using Events = std::vector<std::string>;

// A hook whose failures the test examines itself.
struct CapturingHook {
    std::vector<AnsiString> failures;
    TestHook hook{[this](const AnsiString& message) { failures.push_back(message); }};
};

void Settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

TEST(FormResource, BuildsTheComponentsWithTheirTagsAndPlaces) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    const struct {
        const char* name;
        int tag;
    } expected[] = {
        {"MainMenu1", 0},     {"Game1", 0},         {"SoundOn1", 17},   {"N1", 0},
        {"Quit1", 7},         {"Label1", 294},      {"Edit1", -1},      {"GroupBox1", 306},
        {"RadioButton1", -1}, {"RadioButton2", -1}, {"CheckBox1", 145}, {"Memo1", 691},
        {"Button1", 307},     {"Button2", 308},     {"StatusBar1", 0}};
    ASSERT_EQ(form->ComponentCount, static_cast<int>(std::size(expected)));
    for (int i = 0; i < form->ComponentCount; ++i) {
        EXPECT_EQ(form->Components[i]->Name, expected[i].name);
        EXPECT_EQ(form->Components[i]->Tag, expected[i].tag) << expected[i].name;
    }
    EXPECT_EQ(form->Tag, 305);
    EXPECT_EQ(form->Events, (Events{"create"}));

    form->Show();
    Settle();
    EXPECT_TRUE(form->Visible);
    EXPECT_EQ(form->ClientWidth, 300);
    EXPECT_EQ(form->ClientHeight, 230);
    EXPECT_EQ(form->Widget()->windowTitle().toStdString(), "Giving up the game...");
    // Every control shows at its place in its parent's client area.
    for (TControl* control :
         {static_cast<TControl*>(form->Edit1), static_cast<TControl*>(form->GroupBox1),
          static_cast<TControl*>(form->RadioButton2), static_cast<TControl*>(form->Button2)}) {
        EXPECT_TRUE(control->Widget()->isVisible()) << control->Name;
        const QRect g = control->Widget()->geometry();
        EXPECT_EQ(g.x(), control->Left) << control->Name;
        EXPECT_EQ(g.y(), control->Top) << control->Name;
        EXPECT_EQ(g.width(), control->Width) << control->Name;
    }
    EXPECT_EQ(form->RadioButton2->Left, 16);
    EXPECT_EQ(form->RadioButton2->Top, 40);
    EXPECT_EQ(form->RadioButton2->Parent, form->GroupBox1);
    EXPECT_EQ(form->Button2->Widget()->mapTo(form->Widget(), QPoint(0, 0)).x(), 168);
    // The status bar sits at the bottom of the client area, below the menu.
    EXPECT_EQ(form->StatusBar1->Top + form->StatusBar1->Height, form->ClientHeight);
    EXPECT_EQ(form->StatusBar1->Width, form->ClientWidth);
    EXPECT_EQ(form->Memo1->Lines->Count, 2);
    EXPECT_EQ(form->Memo1->Lines->Strings[1], "Second line");
}

TEST(FormResource, FreeingTheFormRunsOnDestroyFirstAndFreesItsComponents) {
    Events log;
    auto* form = new TExampleForm(Application);
    form->DestroyLog = &log;
    form->Edit1->Text = "still here";
    const int before = Application->ComponentCount;
    delete form;
    EXPECT_EQ(log, (Events{"destroy still here"}));
    EXPECT_EQ(Application->ComponentCount, before - 1);
}

TEST(FormResource, TheOwnerFreesItsFormsWithOnDestroy) {
    Events log;
    auto* owner = new TComponent(nullptr);
    auto* form = new TExampleForm(owner);
    form->DestroyLog = &log;
    delete owner;
    EXPECT_EQ(log, (Events{"destroy "}));
}

TEST(ShowModal, ReturnsTheModalResultOfTheButtonPressed) {
    const struct {
        const char* what;
        std::function<void(TExampleForm&)> fill;
        TModalResult result;
    } cases[] = {
        {"OK after a choice",
         [](TExampleForm& f) {
             f.RadioButton2->Click();
             f.Button1->Click();
         },
         mrOk},
        {"Cancel", [](TExampleForm& f) { f.Button2->Click(); }, mrCancel},
        {"the close box", [](TExampleForm& f) { f.Widget()->close(); }, mrCancel},
        {"Escape", [](TExampleForm& f) { f.PressDialogKey(true); }, mrCancel},
    };
    for (const auto& c : cases) {
        TestHook hook;
        hook.ExpectModal<TExampleForm>().Fill(c.fill);
        std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
        EXPECT_EQ(form->ShowModal(), c.result) << c.what;
        EXPECT_FALSE(form->Visible) << c.what;
        ASSERT_EQ(hook.ModalForms().size(), 1u);
        EXPECT_EQ(hook.ModalForms()[0].ClassName, "TExampleForm");
        EXPECT_EQ(hook.ModalForms()[0].Name, "ExampleForm");
        EXPECT_EQ(hook.ModalForms()[0].Result, c.result);
        EXPECT_TRUE(hook.ModalForms()[0].Expected);
        EXPECT_EQ(form->Events.front(), "create");
        EXPECT_EQ(form->Events[1], "show") << c.what;
    }
}

TEST(ShowModal, TheFillSeesTheShownFormAndAResultOverridesIt) {
    TestHook hook;
    std::string seenPanel;
    hook.ExpectModal("ExampleForm")
        .Fill([&](TForm& form) {
            auto& example = dynamic_cast<TExampleForm&>(form);
            seenPanel = example.StatusBar1->Panels->Items[0]->Text;
            example.Edit1->Text = "Anna";
        })
        .Result(mrYes);
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    EXPECT_EQ(form->ShowModal(), mrYes);
    EXPECT_EQ(seenPanel, "Shown");
    EXPECT_EQ(form->Edit1->Text, "Anna");
    EXPECT_EQ(form->Events, (Events{"create", "show", "closequery", "close"}));
}

TEST(ShowModal, AFormNobodyExpectedFailsAndDoesNotBlock) {
    CapturingHook capture;
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    EXPECT_EQ(form->ShowModal(), mrCancel);
    ASSERT_EQ(capture.failures.size(), 1u);
    EXPECT_NE(capture.failures[0].find("unexpected modal form TExampleForm"), std::string::npos);
    EXPECT_FALSE(capture.hook.ModalForms()[0].Expected);
    EXPECT_EQ(form->Events, (Events{"create"}));
}

TEST(ShowModal, AFormLeftWithoutResultOrRefusingToCloseIsAFailure) {
    CapturingHook capture;
    capture.hook.ExpectModal<TExampleForm>();
    capture.hook.ExpectModal<TExampleForm>()
        .Fill([](TExampleForm& f) { f.AllowClose = false; })
        .Result(mrOk);
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    ASSERT_EQ(capture.failures.size(), 2u);
    EXPECT_NE(capture.failures[0].find("without a modal result"), std::string::npos);
    EXPECT_NE(capture.failures[1].find("refused to close"), std::string::npos);
}

TEST(ShowModal, AVisibleFormCannotBeShownModally) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST(TestHook, AnExpectationNeverMetIsReportedWhenTheHookEnds) {
    std::vector<AnsiString> failures;
    {
        TestHook hook([&](const AnsiString& m) { failures.push_back(m); });
        hook.ExpectModal<TExampleForm>();
        hook.ExpectMessageBox("Really?").Press(IDYES);
    }
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0], "expected message box never shown: \"Really?\"");
    EXPECT_EQ(failures[1], "expected modal form never shown: TExampleForm");
}

TEST(FormClose, AsksCloseQueryThenRunsOnCloseWithItsAction) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->Show();
    form->AllowClose = false;
    form->Close();
    EXPECT_TRUE(form->Visible);
    form->AllowClose = true;
    form->CloseAction = caNone;
    form->Close();
    EXPECT_TRUE(form->Visible);
    form->CloseAction = caHide;
    form->Close();
    EXPECT_FALSE(form->Visible);
    EXPECT_EQ(form->Events, (Events{"create", "show", "closequery", "closequery", "close",
                                    "closequery", "close"}));
}

TEST(FormClose, CaFreeFreesTheFormAfterTheHandlerReturns) {
    Events log;
    auto* form = new TExampleForm(nullptr);
    form->DestroyLog = &log;
    form->Show();
    form->CloseAction = caFree;
    form->Close();
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(PumpUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, (Events{"destroy "}));
}

TEST(FormKeys, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    int okClicks = 0;
    int cancelClicks = 0;
    form->Button1->OnClick = [&](TObject*) { ++okClicks; };
    form->Button2->OnClick = [&](TObject*) { ++cancelClicks; };
    form->Show();
    Settle();
    const auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form->Widget(), &event);
    };
    press(Qt::Key_Return);
    EXPECT_EQ(okClicks, 0) << "a disabled default button takes no Enter";
    form->Button1->Enabled = true;
    press(Qt::Key_Return);
    press(Qt::Key_Escape);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(form->ModalResult, mrCancel);
}

// Enter in an edit goes to its OnKeyDown first; a handler that takes the
// key (sets it to 0) keeps it from the default button. Keys without a
// virtual key here, and a disabled edit, reach no handler.
TEST(FormKeys, OnKeyDownSeesEnterBeforeTheDefaultButton) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->Button1->Enabled = true;
    int clicks = 0;
    form->Button1->OnClick = [&](TObject*) { ++clicks; };
    std::vector<WORD> keys;
    bool take = true;
    form->Edit1->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState shift) {
        EXPECT_EQ(sender, form->Edit1);
        EXPECT_TRUE(shift.Contains(ssShift));
        keys.push_back(key);
        if (take)
            key = 0;
    };
    form->Show();
    Settle();
    const auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ShiftModifier);
        QApplication::sendEvent(form->Edit1->Widget(), &event);
    };
    press(Qt::Key_Return);
    press(Qt::Key_Enter);
    EXPECT_EQ(keys, (std::vector<WORD>{VK_RETURN, VK_RETURN}));
    EXPECT_EQ(clicks, 0) << "the handler took the key";
    take = false;
    press(Qt::Key_Return);
    EXPECT_EQ(clicks, 1) << "a key left alone goes on to the default button";
    press(Qt::Key_A);
    EXPECT_EQ(keys.size(), 3u);
    form->Edit1->Enabled = false;
    take = true;
    press(Qt::Key_Return);
    EXPECT_EQ(keys.size(), 3u);
}

TEST(FormGeometry, ConstraintsLimitTheSizeAndPositionCentres) {
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 800, 600);
    form->Constraints->MinWidth = 640;
    form->Constraints->MinHeight = 480;
    form->Width = 300;
    form->Height = 200;
    EXPECT_EQ(form->Width, 640);
    EXPECT_EQ(form->Height, 480);
    form->Position = poScreenCenter;
    form->Show();
    EXPECT_EQ(form->Left, (Screen->Width - 640) / 2);
    EXPECT_EQ(form->Top, (Screen->Height - 480) / 2);
    delete form;
}

TEST(FormGeometry, PlacingAFormByHandWinsOverItsPosition) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->Position = poDesktopCenter;
    form->Left = 10;
    form->Top = 22;
    form->Show();
    EXPECT_EQ(form->Position, poDesigned);
    EXPECT_EQ(form->Left, 10);
    EXPECT_EQ(form->Top, 22);
}

// A resource's client size holds when its menu is set (above); a window on
// the screen, at its smallest here, keeps its size instead, or it would
// grow by the bar each time the menu comes back.
TEST(FormGeometry, AShownFormKeepsItsSizeWhenItsMenuGoesAndComesBack) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->BorderStyle = bsSizeable;
    form->Constraints->MinWidth = form->Width;
    form->Constraints->MinHeight = form->Height;
    form->Show();
    Settle();
    const int width = form->Width;
    const int height = form->Height;
    const int client = form->ClientHeight;
    ASSERT_LT(client, height);
    int resizes = 0;
    form->OnResize = [&resizes](TObject*) { ++resizes; };

    form->Menu = nullptr;
    EXPECT_EQ(form->Width, width);
    EXPECT_EQ(form->Height, height);
    EXPECT_EQ(form->ClientHeight, height);
    EXPECT_EQ(form->StatusBar1->Top + form->StatusBar1->Height, form->ClientHeight);

    form->Menu = form->MainMenu1;
    EXPECT_EQ(form->Width, width);
    EXPECT_EQ(form->Height, height);
    EXPECT_EQ(form->ClientHeight, client);
    EXPECT_EQ(form->StatusBar1->Top + form->StatusBar1->Height, form->ClientHeight);
    EXPECT_EQ(resizes, 2);
}

TEST(FormWindow, StayOnTopAndBorderStyleBecomeWindowFlags) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->FormStyle = fsStayOnTop;
    const Qt::WindowFlags flags = form->Widget()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->Widget()->minimumSize(), form->Widget()->maximumSize())
        << "a dialog border is fixed";
}

TEST(FormPaint, OnPaintRunsAfterThePaintThatAsksForIt) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    int paints = 0;
    form->OnPaint = [&](TObject*) { ++paints; };
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return paints > 0; }));
    const int before = paints;
    form->Repaint();
    ASSERT_TRUE(PumpUntil([&] { return paints > before; }));
    Settle();
    EXPECT_EQ(paints, before + 1);
}

TEST(Application, MainFormClosingEndsRunAndFreesTheForms) {
    Events log;
    TExampleForm* form = nullptr;
    Application->CreateForm(form);
    ASSERT_EQ(Application->MainForm, form);
    form->DestroyLog = &log;
    QMetaObject::invokeMethod(
        form->Widget(), [form] { form->Close(); }, Qt::QueuedConnection);
    Application->Run();
    EXPECT_TRUE(Application->Terminated);
    EXPECT_EQ(log, (Events{"destroy "}));
    EXPECT_EQ(Application->MainForm, nullptr);
}

// One turn runs what waits, or sleeps until something comes: a wait of
// such turns for a timer wakes for the timer instead of turning on and on,
// and what runs inside it runs in a nested loop.
TEST(Application, HandleMessageSleepsUntilAnEventComes) {
    bool fired = false;
    bool nested = false;
    QTimer::singleShot(30, [&] {
        fired = true;
        nested = InNestedLoop();
    });
    int turns = 0;
    while (!fired && turns < 1000) {
        Application->HandleMessage();
        ++turns;
    }
    EXPECT_TRUE(fired);
    EXPECT_TRUE(nested);
    EXPECT_LT(turns, 1000) << "the wait turned instead of sleeping";
}

TEST(Screen, GivesTheScreenAndDesktopSize) {
    EXPECT_GT(Screen->Width, 0);
    EXPECT_GT(Screen->Height, 0);
    EXPECT_GE(Screen->DesktopWidth, Screen->Width);
    EXPECT_GE(Screen->DesktopHeight, Screen->Height);
}

TEST(FormShow, TheFormIsVisibleWhileOnShowRunsAndItsResizesCount) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    std::vector<bool> visibleOnResize;
    bool visibleOnShow = false;
    form->OnShow = [&](TObject*) {
        visibleOnShow = form->Visible;
        form->SetBounds(form->Left, form->Top, 700, 520);
    };
    form->OnResize = [&](TObject*) { visibleOnResize.push_back(form->Visible); };
    form->Show();
    EXPECT_TRUE(visibleOnShow);
    EXPECT_EQ(visibleOnResize, (std::vector<bool>{true}));
    EXPECT_EQ(form->Width, 700);
}
