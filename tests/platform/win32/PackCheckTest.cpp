// The check every pack passes before Qt reads it: it takes the packs the
// build makes and a well-formed pack written byte by byte, and refuses each
// damage that would let Qt read outside the file or walk without end.

#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "platform/win32/Resources.h"
#include "platform/win32/ResourcesFormat.h"
#include "tests/support/HandMadePack.h"
#include "tests/support/PackFixture.h"
#include "tests/support/ProgramData.h"

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

TEST(PackCheck, TakesTheBuildsPacksAndAWellFormedHandMadeOne) {
    for (const char* name : {"gfx0.dll", "gfx1.dll", "gfx2.dll", "gfx3.dll"}) {
        QFile file(QString::fromStdString(BuildProgramDir() + name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(IsUncompressedResourceFile(file.readAll())) << name;
    }
    EXPECT_TRUE(IsUncompressedResourceFile(Bytes(HandMadePack().Bytes())));
}

// What Qt reads of the hand-made pack is what it was written to say.
TEST(PackCheck, TheHandMadePackLoads) {
    PackFixture files;
    const HINSTANCE module =
        LoadLibraryA(files.Write("gfx.dll", Bytes(HandMadePack().Bytes())).c_str());
    ASSERT_NE(module, nullptr);
    char buffer[16];
    EXPECT_EQ(LoadStringA(module, 1001, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "classic");
    FreeLibrary(module);
}

struct Damage {
    const char* what;
    std::function<void(HandMadePack&)> apply;
};

TEST(PackCheck, RefusesEveryDamage) {
    const Damage damages[] = {
        {"the root is a file", [](HandMadePack& p) { p.rootFlags = 0; }},
        {"the root has compressed contents", [](HandMadePack& p) { p.rootFlags = 3; }},
        {"the root has unknown flags", [](HandMadePack& p) { p.rootFlags = 0x12; }},
        {"the child range runs past the last node", [](HandMadePack& p) { p.rootChildCount = 2; }},
        {"the child count is huge", [](HandMadePack& p) { p.rootChildCount = 20000000; }},
        {"the first child lies outside", [](HandMadePack& p) { p.rootFirstChild = 1000000; }},
        {"the root is its own child", [](HandMadePack& p) { p.rootFirstChild = 0; }},
        {"the file is compressed", [](HandMadePack& p) { p.stringsFlags = 1; }},
        {"the file is a directory claiming the root", [](HandMadePack& p) { p.stringsFlags = 2; }},
        {"the name lies outside", [](HandMadePack& p) { p.stringsNameOffset = 4096; }},
        {"the name runs past the end", [](HandMadePack& p) { p.stringsNameOffset = 0xFFFFFFFF; }},
        {"the data lies outside", [](HandMadePack& p) { p.stringsDataOffset = 4096; }},
        {"the data runs past the end", [](HandMadePack& p) { p.stringsDataOffset = 8; }},
    };
    for (const Damage& damage : damages) {
        HandMadePack pack;
        damage.apply(pack);
        EXPECT_FALSE(IsUncompressedResourceFile(Bytes(pack.Bytes()))) << damage.what;
    }
    const std::string whole = HandMadePack().Bytes();
    for (size_t cut : {size_t{1}, size_t{22}, size_t{30}, whole.size() - 24})
        EXPECT_FALSE(IsUncompressedResourceFile(Bytes(whole.substr(0, whole.size() - cut))))
            << "cut by " << cut;
    EXPECT_FALSE(IsUncompressedResourceFile(Bytes(PackWithAFileAsRoot())));
    EXPECT_EQ(PackWithAFileAsRoot().size(), 338u);
}

// Loading a refused pack gives no handle, and nothing of it reaches Qt,
// whose every lookup would walk it.
TEST(PackCheck, ThePackFoundByFuzzingIsNotLoaded) {
    PackFixture files;
    EXPECT_EQ(LoadLibraryA(files.Write("gfx0.dll", Bytes(PackWithAFileAsRoot())).c_str()), nullptr);
    const HINSTANCE good = LoadLibraryA(files.Make("gfx1.dll", SmallPack()).c_str());
    ASSERT_NE(good, nullptr);
    EXPECT_FALSE(FindBitmapResource(good, "background").isNull());
    FreeLibrary(good);
}

} // namespace
