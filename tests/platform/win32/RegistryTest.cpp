#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Registry.h"

namespace {

using namespace std::string_literals;

const char* const GameKey = "software\\Hemlow\\rq8";

// Runs `action` and returns the message of the ERegistryException it raises.
template <class Action> std::string RegistryError(Action action) {
    try {
        action();
    } catch (const ERegistryException& error) {
        return error.Message;
    }
    return "(nothing raised)";
}

TEST(TRegistry, WritesAndReadsTextsAndNumbers) {
    TRegistry registry;
    EXPECT_EQ(HKEY(registry.RootKey), HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(GameKey, true));
    const AnsiString stored = "1234:ab\x07tc\0d\xff"s;
    registry.WriteString("0", stored);
    registry.WriteInteger("n", -5);
    registry.CloseKey();

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly("SOFTWARE\\HEMLOW\\RQ8"));
    EXPECT_EQ(reader.ReadString("0"), stored);
    EXPECT_EQ(reader.ReadInteger("N"), -5);
    EXPECT_EQ(reader.GetDataType("0"), rdString);
    EXPECT_EQ(reader.GetDataType("n"), rdInteger);
    EXPECT_EQ(reader.GetDataType("missing"), rdUnknown);
    EXPECT_TRUE(reader.ValueExists("0"));
    EXPECT_FALSE(reader.ValueExists("1"));
    EXPECT_EQ(reader.ReadString("1"), "");
}

TEST(TRegistry, DeletesValues) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(GameKey, true));
    registry.WriteString("12_0", "piece");
    EXPECT_TRUE(registry.DeleteValue("12_0"));
    EXPECT_FALSE(registry.ValueExists("12_0"));
    EXPECT_FALSE(registry.DeleteValue("12_0"));
}

TEST(TRegistry, FailuresRaiseWithTheValuesName) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(GameKey, true));
    registry.WriteString("text", "1.4");
    registry.WriteInteger("number", 7);
    EXPECT_EQ(RegistryError([&] { registry.ReadInteger("absent"); }),
              "Failed to get data for 'absent'");
    EXPECT_EQ(RegistryError([&] { registry.ReadInteger("text"); }), "Invalid data type for 'text'");
    EXPECT_EQ(RegistryError([&] { registry.ReadString("number"); }),
              "Invalid data type for 'number'");

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(GameKey));
    EXPECT_EQ(RegistryError([&] { reader.WriteString("text", "x"); }),
              "Failed to set data for 'text'");
    EXPECT_EQ(RegistryError([&] { reader.WriteInteger("number", 1); }),
              "Failed to set data for 'number'");
    EXPECT_EQ(reader.ReadString("text"), "1.4");

    TRegistry closed;
    EXPECT_EQ(RegistryError([&] { closed.WriteString("x", "y"); }), "Failed to set data for 'x'");
    EXPECT_EQ(closed.ReadString("x"), "");
}

TEST(TRegistry, PathsAreRelativeToTheCurrentKeyUnlessTheyStartAtTheRoot) {
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey(GameKey, false));
    EXPECT_EQ(HKEY(registry.CurrentKey), nullptr);
    ASSERT_TRUE(registry.OpenKey("software\\Hemlow", true));
    ASSERT_TRUE(registry.OpenKey("rq8", true));
    EXPECT_EQ(AnsiString(registry.CurrentPath), "software\\Hemlow\\rq8");
    ASSERT_TRUE(registry.OpenKey("proxy", true));
    EXPECT_EQ(AnsiString(registry.CurrentPath), "software\\Hemlow\\rq8\\proxy");

    EXPECT_FALSE(registry.OpenKey("nothing", false));
    EXPECT_EQ(AnsiString(registry.CurrentPath), "software\\Hemlow\\rq8\\proxy");
    EXPECT_FALSE(registry.KeyExists("rq8"));
    EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\hemlow\\rq8"));

    ASSERT_TRUE(registry.OpenKey("\\Software\\Vorlane\\Korvel", true));
    EXPECT_EQ(AnsiString(registry.CurrentPath), "Software\\Vorlane\\Korvel");
    EXPECT_TRUE(registry.KeyExists("\\software\\Hemlow\\rq8\\proxy"));

    registry.RootKey = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(HKEY(registry.CurrentKey), nullptr);
    EXPECT_EQ(AnsiString(registry.CurrentPath), "");
}

TEST(TRegistry, TheLocalMachineIsReadOnly) {
    TRegistry registry;
    registry.RootKey = HKEY_LOCAL_MACHINE;
    const char* processor = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    EXPECT_FALSE(registry.OpenKey(processor, false)); // KEY_ALL_ACCESS is refused
    EXPECT_FALSE(registry.OpenKey("SOFTWARE\\Vorlane", true));
    ASSERT_TRUE(registry.OpenKeyReadOnly(processor));
    EXPECT_FALSE(registry.ReadString("ProcessorNameString").empty());
    EXPECT_EQ(DWORD(registry.Access), KEY_ALL_ACCESS);

    TRegistry reading(KEY_READ);
    reading.RootKey = HKEY_LOCAL_MACHINE;
    EXPECT_TRUE(reading.OpenKey(processor, false));
}

} // namespace
