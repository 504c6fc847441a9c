#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/RegistryHive.h"

namespace {

using namespace std::string_literals;

// Bytes a hive must carry unchanged: quotes, backslashes, control bytes
// (BEL as the settings store writes it, NUL), valid UTF-8 and bytes that
// are not UTF-8 at all (stray, overlong, surrogate, truncated).
const std::vector<std::string> Awkward = {
    "",
    "plain",
    "say \"hi\" \\ back\\slash",
    "\x07t marks an at-sign",
    "nul\0inside"s,
    "Grüße ✓ 𝄞",
    "\xff\xfe latin \xe4",
    "\xc0\xaf overlong, \xed\xa0\x80 surrogate, \xe2\x82 cut",
    "\r\n\t%25 ; [x] =",
    "  blanks at both ends  ",
};

const RegistryValue& ValueAt(const RegistryKey& key, size_t index) {
    return *std::next(key.Values().begin(), static_cast<std::ptrdiff_t>(index));
}

bool IsReadableLine(const std::string& text) {
    for (const char c : text)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F)
            return false;
    return true;
}

TEST(RegistryHive, AnyBytesRoundTripInKeyNamesValueNamesAndTexts) {
    for (const std::string& bytes : Awkward) {
        RegistryHive hive;
        const std::string keyName =
            bytes.empty() || bytes.find('\\') != std::string::npos ? "key" : bytes;
        RegistryKey& key = hive.Create({"Software", keyName});
        key.SetValue(bytes, REG_SZ, bytes);
        key.SetValue("n", REG_DWORD, DwordData(0xFFFFFFFE));
        const std::string text = hive.Text();
        EXPECT_TRUE(IsReadableLine(text)) << text;

        const RegistryHive parsed = RegistryHive::Parse(text);
        const RegistryKey* back = parsed.Find({"Software", keyName});
        ASSERT_NE(back, nullptr) << text;
        EXPECT_EQ(back->Name, keyName);
        ASSERT_EQ(back->Values().size(), 2u) << text;
        EXPECT_EQ(ValueAt(*back, 0).Name, bytes);
        EXPECT_EQ(ValueAt(*back, 0).Data, bytes);
        EXPECT_EQ(ValueAt(*back, 0).Type, REG_SZ);
        EXPECT_EQ(DwordValue(ValueAt(*back, 1).Data), 0xFFFFFFFEu);
        EXPECT_EQ(parsed.Text(), text);
    }
}

TEST(RegistryHive, ABackslashEscapedInAKeyNameStaysInTheName) {
    const RegistryHive parsed = RegistryHive::Parse("Korvel registry 1\n[a%5Cb\\c]\n\"v\"=\"1\"\n");
    const RegistryKey* key = parsed.Find({"a\\b", "c"});
    ASSERT_NE(key, nullptr);
    const std::string text = parsed.Text();
    EXPECT_NE(text.find("[a%5cb\\c]"), std::string::npos) << text;
    EXPECT_EQ(RegistryHive::Parse(text).Text(), text);
}

TEST(RegistryHive, TextReadsAsAPersonWouldWriteIt) {
    RegistryHive hive;
    RegistryKey& game = hive.Create({"software", "Hemlow", "rq8"});
    game.SetValue("Version", REG_SZ, "1.4");
    game.SetValue("0", REG_SZ, "12:ab\x07t");
    hive.Create({"software", "Hemlow", "rq8", "proxy"})
        .SetValue("~MHz", REG_DWORD, DwordData(3000));
    hive.Create({"Empty"});

    const std::string text = hive.Text();
    EXPECT_EQ(text.substr(0, text.find('\n')), "Korvel registry 1");
    EXPECT_NE(text.find("\n[software\\Hemlow\\rq8]\n\"Version\"=\"1.4\"\n\"0\"=\"12:ab\\x07t\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n[software\\Hemlow\\rq8\\proxy]\n\"~MHz\"=dword:00000bb8\n"),
              std::string::npos)
        << text;
    // An empty key is kept; keys that only hold subkeys are implied by them.
    EXPECT_NE(text.find("\n[Empty]\n"), std::string::npos);
    EXPECT_EQ(text.find("[software]"), std::string::npos);
}

TEST(RegistryHive, AcceptsWhatAnEditorLeaves) {
    const std::string text = "\xEF\xBB\xBFKorvel registry 1\r\n"
                             "; a note of the user\r\n"
                             "\r\n"
                             "   [Software\\Vorlane\\Korvel]   \r\n"
                             "\"InstallPath\" = \"/opt/korvel\"\r\n"
                             "\"Count\"\t=\tdword:1F\r\n"
                             "[SOFTWARE\\vorlane\\KORVEL]\n"
                             "\"installpath\"=\"/usr/games/korvel\"\n"
                             "[Software\\Vorlane\\Korvel\\sub%25key]\n";
    const RegistryHive hive = RegistryHive::Parse(text);
    const RegistryKey* key = hive.Find({"software", "VORLANE", "korvel"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Name, "Korvel");
    ASSERT_EQ(key->Values().size(), 2u);
    EXPECT_EQ(ValueAt(*key, 0).Name, "InstallPath");
    EXPECT_EQ(ValueAt(*key, 0).Data, "/usr/games/korvel");
    EXPECT_EQ(DwordValue(ValueAt(*key, 1).Data), 31u);
    EXPECT_NE(hive.Find({"Software", "Vorlane", "Korvel", "sub%key"}), nullptr);
    EXPECT_EQ(RegistryHive::Parse("").Root().Subkeys().size(), 0u);
}

// A key path of `depth` keys.
std::string DeepPath(size_t depth) {
    std::string path = "k";
    for (size_t i = 1; i < depth; ++i)
        path += "\\k";
    return path;
}

TEST(RegistryHive, KeysNestAsDeepAsWindowsLetsThem) {
    const std::string text = "Korvel registry 1\n[" + DeepPath(MaxKeyDepth) + "]\n\"a\"=\"1\"\n";
    const RegistryHive hive = RegistryHive::Parse(text);
    EXPECT_NE(hive.Find(RegistryPath(MaxKeyDepth, "K")), nullptr);
    EXPECT_EQ(RegistryHive::Parse(hive.Text()).Text(), hive.Text());
}

TEST(RegistryHive, DamagedTextsAreRefusedWithTheirLine) {
    struct Case {
        std::string text;
        std::string line;
    };
    const std::string head = "Korvel registry 1\n";
    const std::vector<Case> cases = {
        {"Korvel registry 2\n", "line 1:"},
        {"\x89PNG\r\n\x1a\n", "line 1:"},
        {head + "\"a\"=\"b\"\n", "line 2:"},
        {head + "[k]\n\"a\"=\"b\n", "line 3:"},
        {head + "[k]\n\"a\"=\"b\\q\"\n", "line 3:"},
        {head + "[k]\n\"a\"=\"\\x4\"\n", "line 3:"},
        {head + "[k]\n\"a\"=dword:xyz\n", "line 3:"},
        {head + "[k]\n\"a\"=dword:123456789\n", "line 3:"},
        {head + "[k]\n\"a\"=\"b\" trailing\n", "line 3:"},
        {head + "[k]\n\"a\" \"b\"\n", "line 3:"},
        {head + "\n[a\\\\b]\n", "line 3:"},
        {head + "[a\\b\\]\n", "line 2:"},
        {head + "[abc\n", "line 2:"},
        {head + "[a%zz]\n", "line 2:"},
        {head + "junk\n", "line 2:"},
        {head + "[" + DeepPath(MaxKeyDepth + 1) + "]\n", "line 2:"},
        {head + "[" + DeepPath(1000000) + "]\n", "line 2:"},
    };
    for (const Case& c : cases) {
        try {
            RegistryHive::Parse(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const RegistryFormatError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.line, 0), 0u) << error.what();
        }
    }
}

TEST(RegistryHive, NamesMatchWithoutCaseAndKeepTheCaseFirstWritten) {
    RegistryHive hive;
    bool created = false;
    hive.Create({"Software", "Hemlow"}, &created);
    EXPECT_TRUE(created);
    RegistryKey& key = hive.Create({"SOFTWARE", "hemlow", "rq8"}, &created);
    EXPECT_TRUE(created);
    hive.Create({"software", "HEMLOW"}, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(hive.Root().Subkeys().size(), 1u);
    EXPECT_NE(hive.Text().find("[Software\\Hemlow\\rq8]"), std::string::npos);

    EXPECT_TRUE(key.SetValue("Version", REG_SZ, "1.3"));
    EXPECT_TRUE(key.SetValue("VERSION", REG_SZ, "1.4"));
    EXPECT_FALSE(key.SetValue("version", REG_SZ, "1.4"));
    ASSERT_EQ(key.Values().size(), 1u);
    EXPECT_EQ(ValueAt(key, 0).Name, "Version");
    EXPECT_EQ(key.FindValue("vErSiOn")->Data, "1.4");
    EXPECT_TRUE(key.DeleteValue("VERSION"));
    EXPECT_FALSE(key.DeleteValue("Version"));
    // Only A-Z fold: "Ä" and "ä" are different names.
    EXPECT_FALSE(SameRegistryName("\xc3\x84", "\xc3\xa4"));
}

} // namespace
