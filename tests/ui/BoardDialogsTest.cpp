// The digit display on a canvas of its own, and the surrender dialog as its
// caller in the main window uses it.

#include <gtest/gtest.h>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/win32/Resources.h"
#include "tests/ui/BoardFixture.h"
#include "ui/TCanvasLCD.h"
#include "ui/TForm1.h"
#include "ui/TSurrenderForm.h"

namespace {

class BoardLcdTest : public testing::Test {
protected:
    BoardLcdTest() : module(LoadLibraryA(ColourPack::Make(packs).c_str())) {
        canvas.Resize(60, 20);
    }
    ~BoardLcdTest() override { FreeLibrary(module); }

    std::string ShownAt(int x, int y) { return ColourPack::NameOf(canvas.Image().pixel(x, y)); }

    PackFixture packs;
    HINSTANCE module;
    TCanvas canvas;
};

TEST_F(BoardLcdTest, ZeroIsOneDigit) {
    TCanvasLCD lcd(&canvas, module, 5, 3);
    EXPECT_EQ(lcd.Value, 0);
    lcd.Draw();
    EXPECT_EQ(ShownAt(5, 3), "digit0");
    EXPECT_EQ(ShownAt(5 + ColourPack::DigitWidth(0), 3), "?");
    EXPECT_EQ(ShownAt(4, 3), "?");
}

TEST_F(BoardLcdTest, EachDigitStandsAfterTheWidthsOfThoseBefore) {
    TCanvasLCD lcd(&canvas, module, 5, 3);
    lcd.Value = 1047;
    lcd.Draw();
    int x = 5;
    for (int digit : {1, 0, 4, 7}) {
        SCOPED_TRACE(digit);
        EXPECT_EQ(ShownAt(x, 3), "digit" + std::to_string(digit));
        EXPECT_EQ(ShownAt(x + ColourPack::DigitWidth(digit) - 1, 10),
                  "digit" + std::to_string(digit));
        x += ColourPack::DigitWidth(digit);
    }
    EXPECT_EQ(ShownAt(x, 3), "?");
}

TEST_F(BoardLcdTest, DrawAtMovesTheDisplay) {
    TCanvasLCD lcd(&canvas, module, 5, 3);
    lcd.Value = 8;
    lcd.DrawAt(30, 10);
    EXPECT_EQ(lcd.X, 30);
    EXPECT_EQ(lcd.Y, 10);
    EXPECT_EQ(ShownAt(30, 10), "digit8");
    EXPECT_EQ(ShownAt(5, 3), "?");
}

TEST_F(BoardLcdTest, AMissingDigitRaisesTheResourceError) {
    ColourPack::Options lacking;
    lacking.leaveOut = {"digit6"};
    const HINSTANCE pack = LoadLibraryA(ColourPack::Make(packs, lacking).c_str());
    TCanvasLCD lcd(&canvas, pack, 0, 0);
    lcd.Value = 65;
    EXPECT_THROW(lcd.Draw(), EResNotFound);
    FreeLibrary(pack);
}

class BoardSurrenderTest : public BoardFixture {
protected:
    // The dialog as the main window asks it in a game of two people.
    int Ask(std::function<void(TSurrenderForm&)> answer) {
        SurrenderForm = new TSurrenderForm(Form1);
        SurrenderForm->RadioButton1->Caption = "Anna";
        SurrenderForm->RadioButton2->Caption = "Ben";
        hook.ExpectModal<TSurrenderForm>().Fill(answer);
        const int result = SurrenderForm->ShowModal();
        shownFirst = SurrenderForm->RadioButton1->Checked;
        shownSecond = SurrenderForm->RadioButton2->Checked;
        delete SurrenderForm;
        SurrenderForm = nullptr;
        return result;
    }
    bool shownFirst = false;
    bool shownSecond = false;
};

TEST_F(BoardSurrenderTest, OkWaitsForANameAndTheCheckedOneGivesUp) {
    const int result = Ask([this](TSurrenderForm& form) {
        EXPECT_FALSE(form.Button1->Enabled);
        EXPECT_EQ(form.RadioButton1->Caption(), "Anna");
        EXPECT_EQ(form.RadioButton2->Caption(), "Ben");
        EXPECT_EQ(form.Caption(), Text(305));
        EXPECT_EQ(form.GroupBox1->Caption(), Text(306));
        EXPECT_EQ(form.Button1->Caption(), Text(307));
        EXPECT_EQ(form.Button2->Caption(), Text(308));
        form.RadioButton2->Click();
        EXPECT_TRUE(form.Button1->Enabled);
        form.Button1->Click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(shownFirst);
    EXPECT_TRUE(shownSecond);
}

TEST_F(BoardSurrenderTest, EitherNameEnablesOk) {
    const int result = Ask([](TSurrenderForm& form) {
        form.RadioButton1->Click();
        EXPECT_TRUE(form.Button1->Enabled);
        form.Button1->Click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(shownFirst);
}

TEST_F(BoardSurrenderTest, CancelGivesTwoAndNobodyGivesUp) {
    const int result = Ask([](TSurrenderForm& form) { form.Button2->Click(); });
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(shownFirst);
    EXPECT_FALSE(shownSecond);
}

} // namespace
