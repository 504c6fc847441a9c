#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <memory>
#include <random>

#include "platform/vcl/CSpin.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/TestHook.h"
#include "tests/platform/vcl/ExampleForm.h"
#include "tests/support/Pump.h"

namespace {

void Settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

template <class T> T* On(TWinControl* parent) {
    auto* control = new T(parent);
    control->Parent = parent;
    return control;
}

} // namespace

TEST(Menu, CheckMarksReadBackAndAClickLeavesThemToTheHandler) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    QAction* sound = form->SoundOn1->Action();
    EXPECT_TRUE(form->SoundOn1->Checked);
    EXPECT_TRUE(sound->isChecked());
    // Choosing the item as the user does runs the handler, which toggles.
    sound->trigger();
    EXPECT_FALSE(form->SoundOn1->Checked);
    EXPECT_FALSE(sound->isChecked());
    form->SoundOn1->OnClick = nullptr;
    sound->trigger();
    EXPECT_FALSE(form->SoundOn1->Checked) << "without a handler the mark stays";
    EXPECT_FALSE(sound->isChecked());
    EXPECT_EQ(form->Events, (std::vector<std::string>{"create", "sound"}));
}

TEST(Menu, TheTreeShowsInTheFormsMenuBar) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    QMenuBar* bar = form->MainMenu1->MenuBar();
    ASSERT_EQ(bar->parentWidget(), form->Widget());
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text().toStdString(), "&Game");
    QMenu* game = bar->actions()[0]->menu();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(game->actions().size(), 3);
    EXPECT_TRUE(game->actions()[1]->isSeparator());
    EXPECT_EQ(form->Game1->Count, 3);
    EXPECT_EQ(form->Game1->Items[2], form->Quit1);
    EXPECT_EQ(form->Quit1->Parent, form->Game1);
    EXPECT_EQ(form->MainMenu1->Items->Items[0], form->Game1);

    form->Quit1->Visible = false;
    form->SoundOn1->Enabled = false;
    EXPECT_FALSE(game->actions()[2]->isVisible());
    EXPECT_FALSE(game->actions()[0]->isEnabled());
    EXPECT_FALSE(form->Quit1->Visible);
    delete form->Quit1;
    EXPECT_EQ(game->actions().size(), 2);
    EXPECT_EQ(form->Game1->Count, 2);
}

TEST(Menu, AnItemShowsItsImageFromTheMenusList) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    auto* images = new TImageList(form.get());
    TBitmap bitmap;
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    bitmap.Assign(red);
    EXPECT_EQ(images->Add(&bitmap, nullptr), 0);
    form->Quit1->ImageIndex = 0;
    EXPECT_TRUE(form->Quit1->Action()->icon().isNull());
    form->MainMenu1->Images = images;
    EXPECT_FALSE(form->Quit1->Action()->icon().isNull());
    form->Quit1->ImageIndex = 3;
    EXPECT_TRUE(form->Quit1->Action()->icon().isNull());
}

TEST(StatusBar, PanelTextsReadBackAndShow) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    TExampleForm* Form1 = form.get();
    Form1->StatusBar1->Panels->Items[0]->Text = "White: put a piece";
    Form1->StatusBar1->Panels->Items[0]->Text += "*";
    Form1->StatusBar1->Panels->Items[2]->Text = "02:59";
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[0]->Text, "White: put a piece*");
    EXPECT_EQ(Form1->StatusBar1->Panels->Count, 3);
    EXPECT_THROW(Form1->StatusBar1->Panels->Items[3]->Text = "x", EListError);

    Form1->Show();
    Settle();
    // The first panel's text is drawn inside the first panel.
    const QImage shot = Form1->StatusBar1->Widget()->grab().toImage();
    const QColor background = shot.pixelColor(shot.width() - 2, 2);
    int inked = 0;
    for (int x = 0; x < 150; ++x)
        for (int y = 0; y < shot.height(); ++y)
            inked += shot.pixelColor(x, y) != background;
    EXPECT_GT(inked, 20);
    EXPECT_EQ(Form1->StatusBar1->PanelRect(1).Left, 150);
    EXPECT_EQ(Form1->StatusBar1->PanelRect(2).Right, Form1->StatusBar1->ClientWidth);
}

TEST(Alignment, ABottomBarAndAClientControlShareTheClientArea) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->ClientWidth = 400;
    form->ClientHeight = 300;
    auto* bar = On<TStatusBar>(form.get());
    auto* box = On<TPaintBox>(form.get());
    box->Align = alClient;
    auto* top = On<TPanel>(form.get());
    top->Height = 30;
    top->Align = alTop;
    EXPECT_EQ(bar->Top, 300 - bar->Height);
    EXPECT_EQ(box->Top, 30);
    EXPECT_EQ(box->Height, 300 - 30 - bar->Height);
    EXPECT_EQ(box->Width, 400);
    // An aligned control keeps its place when told another size.
    box->Width = 100;
    EXPECT_EQ(box->Width, 400);
    form->ClientWidth = 500;
    EXPECT_EQ(box->Width, 500);
    EXPECT_EQ(bar->Width, 500);
    top->Visible = false;
    EXPECT_EQ(box->Top, 0);
}

TEST(ZOrder, SendToBackPutsAPanelBehindItsSibling) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* panel3 = On<TPanel>(form.get());
    auto* panel4 = On<TPanel>(form.get());
    form->Show();
    const QWidget* client = form->ClientWidget();
    EXPECT_EQ(client->childAt(10, 10), panel4->Widget());
    panel4->SendToBack();
    EXPECT_EQ(client->childAt(10, 10), panel3->Widget());
    EXPECT_EQ(form->Controls[0], panel4);
    panel4->BringToFront();
    EXPECT_EQ(client->childAt(10, 10), panel4->Widget());
}

TEST(Freeing, AWindowedControlFreesTheControlsItHolds) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* group = On<TGroupBox>(form.get());
    auto* radio = new TRadioButton(form.get());
    radio->Parent = group;
    ASSERT_EQ(form->ComponentCount, 2);
    delete group;
    EXPECT_EQ(form->ComponentCount, 0);
    EXPECT_EQ(form->ControlCount, 0);
}

// White caption text on a dark panel leaves the mark of a checked radio
// button or check box dark, so the choice can be read.
TEST(ButtonMarks, AWhiteCaptionLeavesTheMarkDark) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* radio = On<TRadioButton>(form.get());
    auto* box = On<TCheckBox>(form.get());
    box->Top = 30;
    radio->Checked = true;
    box->Checked = true;
    const std::pair<TWinControl*, QStyle::SubElement> marks[] = {
        {radio, QStyle::SE_RadioButtonIndicator}, {box, QStyle::SE_CheckBoxIndicator}};
    for (const auto& [control, indicator] : marks) {
        control->Color = TColor(0x9C6914);
        control->Font->Color = clWhite;
    }
    form->Show();
    for (const auto& [control, indicator] : marks) {
        QWidget* widget = control->Widget();
        QStyleOptionButton option;
        option.initFrom(widget);
        // Inside the box's frame: the white ground and the mark.
        const QRect inside =
            widget->style()->subElementRect(indicator, &option, widget).adjusted(3, 3, -3, -3);
        const QImage image = widget->grab().toImage();
        int darkest = 255;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        EXPECT_LT(darkest, 100) << (control == radio ? "radio button" : "check box");
        EXPECT_EQ(control->Widget()->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
}

TEST(Label, WordWrapKeepsTheWidthAndAutoSizeFitsTheText) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* label = On<TLabel>(form.get());
    label->Caption = "&Best of";
    EXPECT_EQ(static_cast<QLabel*>(label->Widget())->text().toStdString(), "Best of");
    const int oneLine = label->Height;
    const int shortWidth = label->Width;
    label->Caption = "Best of three games, then the match is over and a new one begins";
    EXPECT_GT(label->Width, shortWidth);
    label->WordWrap = true;
    label->Width = 120;
    EXPECT_EQ(label->Width, 120);
    EXPECT_GT(label->Height, 2 * oneLine);
    label->AutoSize = false;
    label->SetBounds(0, 0, 50, 10);
    EXPECT_EQ(label->Height, 10);
}

TEST(Edit, TextRunsOnChangeAndLeavingRunsOnExit) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* edit = On<TEdit>(form.get());
    auto* other = On<TEdit>(form.get());
    int changes = 0;
    int exits = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnExit = [&](TObject* sender) { exits += sender == edit; };
    edit->Text = "192.168.0.1";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->Text, "192.168.0.1");
    static_cast<QLineEdit*>(edit->Widget())->insert("0");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text, "192.168.0.10");
    form->Show();
    QApplication::setActiveWindow(form->Widget());
    edit->SetFocus();
    // The user leaves the box only once it has the focus in the active window.
    ASSERT_TRUE(PumpUntil([&] { return edit->Widget()->hasFocus(); }));
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return exits > 0; }));
    Settle();
    EXPECT_EQ(exits, 1);
}

TEST(Memo, LinesAreTheMemosText) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    memo->Lines->Add("Anna");
    memo->Lines->Add("Bob");
    memo->Lines->Insert(1, "Carl");
    EXPECT_EQ(memo->Lines->Count, 3);
    EXPECT_EQ(memo->Text, "Anna\r\nCarl\r\nBob");
    memo->Lines->Delete(0);
    memo->Lines->Strings[0] = "Cora";
    EXPECT_EQ(memo->Lines->Text, "Cora\r\nBob");
    memo->Lines->Text = "You can quickly\r\n\r\nunsubscribe";
    EXPECT_EQ(memo->Lines->Count, 3);
    EXPECT_EQ(memo->Lines->Strings[1], "");
    memo->Lines->Clear();
    EXPECT_EQ(memo->Lines->Count, 0);
    EXPECT_THROW(memo->Lines->Strings[0] = "x", EStringListError);
}

TEST(Memo, EmptyLinesKeepTheirRows) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    memo->Lines->Add("");
    EXPECT_EQ(memo->Lines->Count, 1);
    memo->Lines->Add("Norway");
    memo->Lines->Add("");
    EXPECT_EQ(memo->Lines->Count, 3);
    memo->Lines->Add("Chile");
    ASSERT_EQ(memo->Lines->Count, 4);
    EXPECT_EQ(memo->Lines->Strings[0], "");
    EXPECT_EQ(memo->Lines->Strings[2], "");
    EXPECT_EQ(memo->Lines->Strings[3], "Chile");
}

// Lines added at the end reach the memo's window later than the list: the
// list is the same either way, and so is what the window shows after.
TEST(Memo, LinesAddedAtTheEndReachTheWindowInOrder) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    auto* window = static_cast<QPlainTextEdit*>(memo->Widget());
    memo->Lines->Add("Anna");
    memo->Lines->Add("");
    memo->Lines->Add("Bob");
    EXPECT_EQ(memo->Lines->Count, 3);
    EXPECT_EQ(memo->Lines->Strings[2], "Bob");
    EXPECT_EQ(memo->GetTextLen(), 11);
    PumpOnce();
    EXPECT_EQ(window->toPlainText(), "Anna\n\nBob");
    EXPECT_EQ(memo->Lines->Count, 3);
    // Text the user typed, ending with a line end, takes lines after it.
    window->setPlainText("typed\n");
    memo->Lines->Add("added");
    EXPECT_EQ(memo->Text, "typed\r\nadded");
}

// A text with line ends is as many lines as the memo's window makes of
// it, before it reaches the window and after.
TEST(Memo, AddingATextWithLineEndsAddsItsLines) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    const AnsiString paragraph = "\xe2\x80\xa9"; // U+2029
    memo->Lines->Add("a\r\nb\rc\nd" + paragraph + "e");
    memo->Lines->Add("f");
    memo->Lines->Strings[1] = "b1\nb2";
    const std::vector<AnsiString> expected{"a", "b1", "b2", "c", "d", "e", "f"};
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<AnsiString> lines;
        for (int i = 0; i < memo->Lines->Count; ++i)
            lines.push_back(memo->Lines->Strings[i]);
        EXPECT_EQ(lines, expected) << (pass == 0 ? "before" : "after") << " the window has it";
        PumpOnce();
    }
}

// Every change of the list, with or without passes of the event loop
// between them, leaves the memo holding the lines a string list holds.
TEST(Memo, ChangesKeepTheLinesOfAStringList) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    TStringList model;
    std::mt19937 random(15);
    auto pick = [&](int bound) {
        return static_cast<int>(random() % static_cast<unsigned>(bound));
    };
    const AnsiString texts[] = {"", "a", "line", "x y"};
    for (int step = 0; step < 3000; ++step) {
        const AnsiString text = texts[pick(4)];
        const int count = model.Count;
        const int action = pick(count == 0 ? 2 : 6);
        if (action == 0) {
            memo->Lines->Add(text);
            model.Add(text);
        } else if (action == 1) {
            const int at = pick(count + 1);
            memo->Lines->Insert(at, text);
            model.Insert(at, text);
        } else if (action == 2) {
            const int at = pick(count);
            memo->Lines->Delete(at);
            model.Delete(at);
        } else if (action == 3) {
            const int at = pick(count);
            memo->Lines->Strings[at] = text;
            model.Strings[at] = text;
        } else if (action == 4) {
            PumpOnce();
        } else if (pick(40) == 0) {
            memo->Lines->Clear();
            model.Clear();
        }
        ASSERT_EQ(memo->Lines->Count, model.Count) << "step " << step;
        for (int i = 0; i < model.Count; ++i)
            ASSERT_EQ(memo->Lines->Strings[i], model.Strings[i])
                << "step " << step << " line " << i;
        ASSERT_EQ(memo->GetTextLen(), static_cast<int>(memo->Text().size())) << "step " << step;
    }
}

TEST(Memo, TheUserCannotUndoWhatCodeWrote) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* memo = On<TMemo>(form.get());
    memo->Lines->Add("kept");
    memo->Lines->Insert(0, "first");
    memo->Lines->Delete(0);
    PumpOnce();
    auto* window = static_cast<QPlainTextEdit*>(memo->Widget());
    EXPECT_FALSE(window->document()->isUndoAvailable());
    window->undo();
    EXPECT_EQ(memo->Text, "kept");
}

TEST(Buttons, CodeSetsCheckedWithoutOnClickAndAClickRunsIt) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->RadioButton1->Checked = true;
    EXPECT_TRUE(form->RadioButton1->Checked);
    EXPECT_FALSE(form->Button1->Enabled);
    form->RadioButton1->Checked = false;
    EXPECT_FALSE(form->RadioButton1->Checked) << "code may clear every button of a group";
    EXPECT_FALSE(form->RadioButton2->Checked);

    form->RadioButton2->Click();
    EXPECT_TRUE(form->RadioButton2->Checked);
    EXPECT_TRUE(form->Button1->Enabled);
    static_cast<QRadioButton*>(form->RadioButton1->Widget())->click();
    EXPECT_TRUE(form->RadioButton1->Checked);
    EXPECT_FALSE(form->RadioButton2->Checked) << "buttons of one parent exclude one another";
    form->RadioButton1->Click();
    EXPECT_EQ(form->Events, (std::vector<std::string>{"create", "radio2", "radio1"}));

    int clicks = 0;
    form->CheckBox1->OnClick = [&](TObject*) { ++clicks; };
    form->CheckBox1->Checked = true;
    EXPECT_EQ(clicks, 0);
    static_cast<QCheckBox*>(form->CheckBox1->Widget())->click();
    EXPECT_FALSE(form->CheckBox1->Checked);
    form->CheckBox1->Click();
    EXPECT_TRUE(form->CheckBox1->Checked);
    EXPECT_EQ(clicks, 2);
}

TEST(RadioGroup, ItemsBecomeButtonsInColumns) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* group = On<TRadioGroup>(form.get());
    group->SetBounds(0, 0, 300, 80);
    group->Columns = 2;
    group->Caption = "Please select a difficulty level:";
    std::vector<int> clicked;
    group->OnClick = [&](TObject*) { clicked.push_back(group->ItemIndex); };
    group->Items->Text = "Beginner\r\nEasy\r\nRegular\r\nDifficult";
    const auto buttons = group->Widget()->findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 4);
    EXPECT_EQ(group->ItemIndex, -1);
    // Column by column: the third item heads the second column.
    EXPECT_EQ(buttons[2]->y(), buttons[0]->y());
    EXPECT_GT(buttons[2]->x(), buttons[1]->x());
    EXPECT_GT(buttons[1]->y(), buttons[0]->y());

    group->ItemIndex = 2;
    EXPECT_TRUE(buttons[2]->isChecked());
    EXPECT_TRUE(clicked.empty());
    buttons[1]->click();
    EXPECT_EQ(group->ItemIndex, 1);
    EXPECT_EQ(clicked, (std::vector<int>{1}));
    group->ItemIndex = 9;
    EXPECT_EQ(group->ItemIndex, 3);
    group->ItemIndex = -1;
    for (QRadioButton* button : group->Widget()->findChildren<QRadioButton*>())
        EXPECT_FALSE(button->isChecked());
    group->Items->Text = "Yes\r\nNo";
    EXPECT_EQ(group->Widget()->findChildren<QRadioButton*>().size(), 2);
}

TEST(ComboBox, ChoicesIndexAndAnEditTextThatIsNoItem) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* combo = On<TComboBox>(form.get());
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->Items->Text = "Intel 486\r\nIntel Pentium\r\nAMD K6";
    combo->Text = "Please choose";
    EXPECT_EQ(combo->ItemIndex, -1);
    EXPECT_EQ(combo->Text, "Please choose");
    auto* qt = static_cast<QComboBox*>(combo->Widget());
    EXPECT_EQ(qt->count(), 3);
    qt->activated(1);
    EXPECT_EQ(changes, 1);
    combo->ItemIndex = 2;
    EXPECT_EQ(combo->Text, "AMD K6");
    EXPECT_EQ(changes, 1) << "an index set in code runs no OnChange";

    auto* list = On<TComboBox>(form.get());
    list->Style = csDropDownList;
    list->Items->Text = "Classic\r\nDesktop\r\nSpace Station\r\nToyland";
    EXPECT_EQ(list->ItemIndex, -1);
    list->ItemIndex = 3;
    EXPECT_EQ(list->Text, "Toyland");
    list->Items->Strings[3] = "Toys";
    EXPECT_EQ(list->ItemIndex, 3);
    EXPECT_EQ(list->Text, "Toys");
}

TEST(SpinEdit, StepsByItsIncrementWithinItsLimits) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* spin = On<TCSpinEdit>(form.get());
    spin->MinValue = 1;
    spin->MaxValue = 17;
    spin->Increment = 2;
    spin->Value = 1;
    std::vector<int> seen{spin->Value};
    auto* qt = static_cast<QSpinBox*>(spin->Widget());
    for (int i = 0; i < 9; ++i) {
        qt->stepUp();
        seen.push_back(spin->Value);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 17}));
    spin->Value = 40;
    EXPECT_EQ(spin->Value, 17);
}

TEST(ScrollBox, TheScrolledAreaHoldsEveryControlInside) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* box = On<TScrollBox>(form.get());
    box->SetBounds(0, 0, 200, 100);
    auto* group = On<TGroupBox>(box);
    group->SetBounds(8, 600, 150, 60);
    EXPECT_EQ(group->Widget()->parentWidget(), box->ClientWidget());
    EXPECT_GE(box->ClientWidget()->height(), 660);
}

TEST(Colours, FormResourceColoursAndFontsReachTheWidgets) {
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    const QColor lightBlue = form->ClientWidget()->palette().color(QPalette::Window);
    EXPECT_EQ(lightBlue, QColor(13, 160, 217));
    EXPECT_EQ(form->GroupBox1->Widget()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(form->RadioButton1->Widget()->palette().color(QPalette::WindowText),
              QColor(Qt::white))
        << "controls inside take their parent's font";
    form->Label1->Font->Name = "MS Sans Serif";
    form->Label1->Font->Height = -11;
    form->Label1->Font->Style = TFontStyles() << fsBold;
    EXPECT_EQ(form->Label1->Widget()->font().pixelSize(), 11);
    EXPECT_TRUE(form->Label1->Widget()->font().bold());
    EXPECT_EQ(form->Label1->Font->Size, 8);
    EXPECT_EQ(QColorToColor(ColorToQColor(TColor(0x00D9A00D))), TColor(0x00D9A00D));
}

TEST(Mouse, APressReachesOnMouseDownWithButtonShiftAndPlace) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* box = new TPaintBox(form.get());
    box->Parent = form.get();
    box->SetBounds(20, 30, 200, 200);
    struct Press {
        TObject* sender;
        TMouseButton button;
        TShiftState shift;
        int x, y;
    };
    std::vector<Press> presses;
    int clicks = 0;
    box->OnMouseDown = [&](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        presses.push_back({sender, button, shift, x, y});
    };
    box->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    const auto send = [&](QEvent::Type type, Qt::MouseButton button,
                          Qt::KeyboardModifiers modifiers, QPointF at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, box->Widget()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(box->Widget(), &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::ShiftModifier, QPointF(57, 81));
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoModifier, QPointF(57, 81));
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::NoModifier, QPointF(3, 4));
    send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoModifier, QPointF(3, 4));
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::NoModifier, QPointF(9, 9));
    ASSERT_EQ(presses.size(), 3u);
    EXPECT_EQ(presses[0].sender, box);
    EXPECT_EQ(presses[0].button, mbLeft);
    EXPECT_TRUE(presses[0].shift.Contains(ssShift));
    EXPECT_TRUE(presses[0].shift.Contains(ssLeft));
    EXPECT_EQ(presses[0].x, 57);
    EXPECT_EQ(presses[0].y, 81);
    EXPECT_EQ(presses[1].button, mbRight);
    EXPECT_EQ(presses[2].button, mbLeft) << "the second press of a double click counts too";
    EXPECT_TRUE(presses[2].shift.Contains(ssDouble));
    EXPECT_EQ(clicks, 1) << "a left press and release inside is a click";
}

TEST(Frame, OwnsItsComponentsAndSitsOnItsForm) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* frame = On<TFrame>(form.get());
    auto* button = new TButton(frame);
    button->Parent = frame;
    button->ModalResult = mrOk;
    EXPECT_EQ(frame->ComponentCount, 1);
    EXPECT_EQ(form->ComponentCount, 1);
    EXPECT_EQ(GetParentForm(button), form.get());
    button->Click();
    EXPECT_EQ(form->ModalResult, mrOk);
}

TEST(FormResize, OnResizeRunsWhenTheSizeChanges) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    std::vector<int> widths;
    form->OnResize = [&](TObject*) { widths.push_back(form->Width); };
    form->Width = 700;
    form->Width = 700;
    form->Height = 500;
    form->Show();
    QApplication::processEvents();
    EXPECT_EQ(widths, (std::vector<int>{700, 700}));
}
