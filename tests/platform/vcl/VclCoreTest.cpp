#include <gtest/gtest.h>

#include "platform/vcl/Classes.h"
#include "platform/vcl/SysUtils.h"
#include "tests/support/TempFolder.h"

namespace {

class SeparatorScope {
public:
    explicit SeparatorScope(char separator) : saved_(FormatSettings.DecimalSeparator) {
        FormatSettings.DecimalSeparator = separator;
    }
    ~SeparatorScope() { FormatSettings.DecimalSeparator = saved_; }

private:
    char saved_;
};

} // namespace

TEST(StrToInt, AcceptsDecimalAndHexText) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"0", 0},
                 {"42", 42},
                 {"-17", -17},
                 {"+5", 5},
                 {"  12", 12},
                 {"$1F", 31},
                 {"0x10", 16},
                 {"$FFFFFFFF", -1},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
        int value = 0;
        EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StrToInt, RefusesWhatIsNoInteger) {
    for (const char* text :
         {"", " ", "-", "12 ", "1.5", "abc", "2147483648", "-2147483649", "$", "0x"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "'" + std::string(text) + "' is not a valid integer value");
        }
        int value = 7;
        EXPECT_FALSE(TryStrToInt(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
    SeparatorScope point('.');
    const struct {
        long double value;
        const char* text;
    } cases[] = {{0.0L, "0"},
                 {1.0L, "1"},
                 {-2.5L, "-2.5"},
                 {static_cast<long double>(0.1f), "0.100000001490116"},
                 {1.0L / 3.0L, "0.333333333333333"},
                 {123456789012345.0L, "123456789012345"},
                 {1e15L, "1E15"},
                 {0.0001L, "0.0001"},
                 {0.00001L, "1E-5"},
                 {1.5e-7L, "1.5E-7"},
                 {100.0L, "100"}};
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.value), c.text);
}

TEST(FloatToStr, UsesTheLocaleSeparator) {
    SeparatorScope comma(',');
    EXPECT_EQ(FloatToStr(1.25L), "1,25");
    EXPECT_EQ(FloatToStr(1.5e-7L), "1,5E-7");
}

TEST(StringHelpers, TrimAndCaseChangeOnlyWhatTheyShould) {
    EXPECT_EQ(Trim(" \t\r\n ab c \x01"), "ab c");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UpperCase("aZ\xc3\xa4-x"), "AZ\xc3\xa4-X");
    EXPECT_EQ(LowerCase("AbC\xc3\x84"), "abc\xc3\x84");
}

TEST(TStringList, TextJoinsWithCrLfAndSplitsAtAnyLineEnd) {
    TStringList list;
    list.Text = "a\r\nb\nc\rd\r\n\r\ne";
    ASSERT_EQ(list.Count, 6);
    EXPECT_EQ(list.Strings[3], "d");
    EXPECT_EQ(list.Strings[4], "");
    EXPECT_EQ(list.Text, "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    list.Text = "";
    EXPECT_EQ(list.Count, 0);
    list.Text = "only";
    EXPECT_EQ(list.Count, 1);
}

TEST(TStringList, IndexErrorsRaise) {
    TStringList list;
    list.Add("x");
    list.Strings[0] = "y";
    EXPECT_EQ(list[0], "y");
    EXPECT_THROW(list.Strings[1] = "z", EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
    EXPECT_EQ(list.IndexOf("y"), 0);
    EXPECT_EQ(list.IndexOf("q"), -1);
}

TEST(TStringList, SavesAndLoadsFiles) {
    const TempFolder folder;
    const std::string name = folder.File("list.txt");
    TStringList out;
    out.Add("first");
    out.Add("zweite \xc3\xa4");
    out.SaveToFile(name);
    TStringList in;
    in.LoadFromFile(name);
    EXPECT_EQ(in.Text, out.Text);
    folder.Remove("list.txt");
    EXPECT_THROW(in.LoadFromFile(name), EFOpenError);
    EXPECT_THROW(out.SaveToFile("/nonexistent-dir/x"), EFCreateError);
}

TEST(Streams, FileAndMemoryStreamsRoundTrip) {
    const TempFolder folder;
    const std::string name = folder.File("stream.bin");
    {
        TFileStream file(name, fmCreate);
        file.WriteBuffer("hello world", 11);
        EXPECT_EQ(file.Size, 11);
    }
    TMemoryStream memory;
    memory.LoadFromFile(name);
    EXPECT_EQ(memory.Size, 11);
    char buffer[6] = {};
    memory.Position = 6;
    memory.ReadBuffer(buffer, 5);
    EXPECT_STREQ(buffer, "world");
    EXPECT_THROW(memory.ReadBuffer(buffer, 1), EReadError);
}

TEST(Streams, ACreatedFileIsHeldExclusivelyWhileOpen) {
    const TempFolder folder;
    const std::string name = folder.File("exclusive.txt");
    {
        TFileStream first(name, fmCreate);
        first.WriteBuffer("kept", 4);
        EXPECT_THROW(TFileStream second(name, fmCreate), EFCreateError);
        EXPECT_EQ(first.Size, 4);
    }
    TStringList lines;
    lines.LoadFromFile(name);
    EXPECT_EQ(lines.Text, "kept\r\n");
    { TFileStream again(name, fmCreate); }
    EXPECT_EQ(TFileStream(name, fmOpenRead).Size, 0);
}

TEST(TComponent, OwnerFreesOwnedComponentsAndListsThem) {
    int destroyed = 0;
    struct Probe : TComponent {
        Probe(TComponent* owner, int& destroyed) : TComponent(owner), destroyed_(destroyed) {}
        ~Probe() override { ++destroyed_; }
        int& destroyed_;
    };
    auto* owner = new TComponent(nullptr);
    auto* a = new Probe(owner, destroyed);
    a->Name = "Button1";
    a->Tag = 7;
    auto* b = new Probe(owner, destroyed);
    EXPECT_EQ(owner->ComponentCount, 2);
    EXPECT_EQ(owner->Components[1], b);
    EXPECT_EQ(owner->Components[0]->Tag, 7);
    EXPECT_EQ(a->Owner, owner);
    EXPECT_EQ(owner->FindComponent("button1"), a);
    delete b;
    EXPECT_EQ(owner->ComponentCount, 1);
    delete owner;
    EXPECT_EQ(destroyed, 2);
}

TEST(TList, HoldsPointersInOrder) {
    int x = 0, y = 0;
    TList list;
    list.Add(&x);
    list.Insert(0, &y);
    EXPECT_EQ(list.Items[0], &y);
    EXPECT_EQ(list.Remove(&y), 0);
    EXPECT_EQ(list.Count, 1);
    EXPECT_THROW(list.Delete(3), EListError);
}

TEST(TList, SortsByTheCompareFunction) {
    int values[] = {3, 9, 1, 7};
    TList list;
    for (int& value : values)
        list.Add(&value);
    list.Sort([](void* a, void* b) { return *static_cast<int*>(b) - *static_cast<int*>(a); });
    ASSERT_EQ(list.Count, 4);
    EXPECT_EQ(list.Items[0], &values[1]);
    EXPECT_EQ(list.Items[1], &values[3]);
    EXPECT_EQ(list.Items[2], &values[0]);
    EXPECT_EQ(list.Items[3], &values[2]);
}

TEST(Assert, StopsTheProgramWithItsText) {
    EXPECT_DEATH(Assert(false, "ms_Singleton"), "Assertion failed: ms_Singleton");
    Assert(true, "never shown");
}
