// The resource loader: packs by file, strings as Windows copies them,
// bitmaps by name, built-in modules, and damaged files refused safely.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <cstring>

#include "platform/win32/Resources.h"
#include "platform/win32/WinBase.h"
#include "tests/support/PackFixture.h"

namespace {

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Reads everything a module offers; a damaged pack that was let through
// would trip the sanitizers here.
void ReadEverything(HINSTANCE module) {
    char buffer[32];
    for (UINT id : {1u, 2u, 3u, 1001u})
        LoadStringA(module, id, buffer, sizeof buffer);
    FindBitmapResource(module, "background");
    FindBitmapResource(module, "white1");
}

class Resources : public testing::Test {
protected:
    PackFixture files;
};

TEST_F(Resources, LoadsAPackAndReadsItsBitmapsAndStrings) {
    const HINSTANCE module = LoadLibraryA(files.Make("gfx.dll", SmallPack()).c_str());
    ASSERT_NE(module, nullptr);
    const QImage background = FindBitmapResource(module, "background");
    EXPECT_EQ(background.size(), QSize(40, 30));
    EXPECT_EQ(background.pixelColor(5, 5), QColor(10, 120, 200));
    EXPECT_EQ(FindBitmapResource(module, "BackGround").size(), QSize(40, 30));
    char buffer[20];
    EXPECT_EQ(LoadStringA(module, 1001, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "classic");
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST_F(Resources, MissingOrUnnamedBitmapIsNull) {
    const HINSTANCE module = LoadLibraryA(files.Make("gfx.dll", SmallPack()).c_str());
    ASSERT_NE(module, nullptr);
    for (const char* name : {"black1", "", "strings", "bitmaps", "../strings", "/background",
                             "background/", "white1.png"})
        EXPECT_TRUE(FindBitmapResource(module, name).isNull()) << name;
    FreeLibrary(module);
}

TEST_F(Resources, LoadStringCopiesAsWindowsDoes) {
    const HINSTANCE module = LoadLibraryA(files.Make("gfx.dll", SmallPack()).c_str());
    ASSERT_NE(module, nullptr);
    struct Case {
        UINT id;
        int bufferMax;
        int copied;
        const char* text;
    };
    const Case cases[] = {
        {1, 4, 2, "12"}, {2, 4, 3, "123"}, {2, 8, 7, "1234567"}, {2, 7, 6, "123456"}, {2, 1, 0, ""},
        {3, 4, 0, ""},   {9, 4, 0, ""},    {65535, 4, 0, ""},    {1001, 4, 3, "cla"},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(LoadStringA(module, c.id, buffer, c.bufferMax), c.copied) << c.id;
        EXPECT_STREQ(buffer, c.text) << c.id << " into " << c.bufferMax;
        EXPECT_EQ(buffer[c.bufferMax], 'x') << "wrote past the buffer";
    }
    char untouched[4] = {'a', 'b', 'c', 0};
    EXPECT_EQ(LoadStringA(module, 1, untouched, 0), 0);
    EXPECT_STREQ(untouched, "abc");
    EXPECT_EQ(LoadStringA(module, 1, nullptr, 4), 0);
    FreeLibrary(module);
}

TEST_F(Resources, HandlesThatAreNotLoadedGiveNothing) {
    const HINSTANCE module = LoadLibraryA(files.Make("gfx.dll", SmallPack()).c_str());
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(FreeLibrary(module), TRUE);
    for (HINSTANCE handle : {module, static_cast<HINSTANCE>(nullptr)}) {
        char buffer[8] = "junk";
        EXPECT_EQ(LoadStringA(handle, 1, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
        EXPECT_TRUE(FindBitmapResource(handle, "background").isNull());
        EXPECT_EQ(GetProcAddress(handle, "GetLongPathNameA"), nullptr);
        EXPECT_EQ(FreeLibrary(handle), FALSE);
    }
}

TEST_F(Resources, SeveralPacksAreOpenAtOnce) {
    PackFixture::Contents other = SmallPack();
    other.bitmaps["background"].fill(QColor(200, 30, 30));
    other.strings = "1001\tspace\n";
    const std::string first = files.Make("gfx0.dll", SmallPack());
    const HINSTANCE a = LoadLibraryA(first.c_str());
    const HINSTANCE b = LoadLibraryA(files.Make("gfx1.dll", other).c_str());
    const HINSTANCE again = LoadLibraryA(first.c_str());
    ASSERT_TRUE(a && b && again);
    EXPECT_NE(a, b);
    EXPECT_NE(a, again);
    EXPECT_EQ(FindBitmapResource(b, "background").pixelColor(0, 0), QColor(200, 30, 30));
    FreeLibrary(a);
    char buffer[20];
    EXPECT_EQ(LoadStringA(b, 1001, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "space");
    EXPECT_EQ(LoadStringA(again, 1001, buffer, sizeof buffer), 7);
    EXPECT_EQ(FindBitmapResource(again, "background").pixelColor(0, 0), QColor(10, 120, 200));
    FreeLibrary(b);
    FreeLibrary(again);
}

TEST_F(Resources, FilesThatAreNoPackGiveNullptr) {
    PackFixture::Contents noStrings = SmallPack();
    noStrings.strings.reset();
    PackFixture::Contents compressed = SmallPack();
    compressed.strings = std::string(2000, '\n') + "1001\tclassic\n";
    compressed.compressed = true;
    const QByteArray pack = ReadAll(files.Make("pack", SmallPack()));
    const std::string paths[] = {
        files.Path("missing.dll"),
        files.Path(""), // the folder itself
        files.Write("empty.dll", {}),
        files.Write("text.dll", "this is no pack"),
        files.Write("magic.dll", "qres"),
        files.Write("short.dll", pack.left(23)),
        files.Write("half.dll", pack.left(pack.size() / 2)),
        files.Write("cut.dll", pack.left(pack.size() - 1)),
        files.Make("nostrings.dll", noStrings),
        files.Make("compressed.dll", compressed),
    };
    for (const std::string& path : paths)
        EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr) << path;
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(Resources, DamagedStringTablesAreRefused) {
    const char* tables[] = {
        "1001 classic\n",             // no tab
        "x\tclassic\n",               // no number
        "-1\tclassic\n",              // sign
        "65536\tclassic\n",           // beyond 16 bits
        "1001\tclassic\n1001\ttoy\n", // one id twice
        "\tclassic\n",                // empty id
    };
    for (const char* table : tables) {
        PackFixture::Contents contents = SmallPack();
        contents.strings = table;
        EXPECT_EQ(LoadLibraryA(files.Make("gfx.dll", contents).c_str()), nullptr) << table;
    }
}

// Every single damaged byte of a pack either leaves a loadable pack or is
// refused; reading whatever loads must stay inside the file (the sanitizers
// see to that).
TEST_F(Resources, NoDamagedByteCrashesTheLoader) {
    const QByteArray pack = ReadAll(files.Make("gfx.dll", SmallPack()));
    int refused = 0;
    for (qsizetype at = 0; at < pack.size(); ++at)
        for (char value : {'\x00', '\x7f', '\xff'}) {
            QByteArray damaged = pack;
            if (damaged[at] == value)
                continue;
            damaged[at] = value;
            const HINSTANCE module = LoadLibraryA(files.Write("damaged.dll", damaged).c_str());
            if (!module) {
                ++refused;
                continue;
            }
            ReadEverything(module);
            FreeLibrary(module);
        }
    EXPECT_GT(refused, 0);
}

TEST_F(Resources, Kernel32IsBuiltIn) {
    const HINSTANCE kernel = LoadLibraryA("kernel32");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(LoadLibraryA("KERNEL32.DLL"), kernel);
    EXPECT_EQ(GetProcAddress(kernel, "GetLongPathNameA"),
              reinterpret_cast<void*>(&GetLongPathNameA));
    EXPECT_EQ(GetProcAddress(kernel, "GetShortPathNameA"), nullptr);
    EXPECT_EQ(GetProcAddress(kernel, nullptr), nullptr);
    EXPECT_EQ(FreeLibrary(kernel), TRUE);
    EXPECT_EQ(LoadLibraryA("kernel32"), kernel) << "built-in modules stay loaded";
    EXPECT_TRUE(FindBitmapResource(kernel, "background").isNull());
    EXPECT_EQ(LoadLibraryA(files.Path("kernel32.dll").c_str()), nullptr) << "a path is a file";
}

int Answer() {
    return 42;
}
int Other() {
    return 7;
}

TEST_F(Resources, RegisteredModulesAreFoundByName) {
    // A module stays registered for the rest of the process, so every run
    // of the test registers a name of its own.
    static int runs = 0;
    const std::string name = "sock" + std::to_string(++runs);
    EXPECT_EQ(LoadLibraryA((name + ".dll").c_str()), nullptr);
    RegisterBuiltinModule(name + ".dll", {{"answer", reinterpret_cast<void*>(&Answer)}});
    const HINSTANCE module = LoadLibraryA(("SOCK" + std::to_string(runs)).c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(GetProcAddress(module, "answer"))(), 42);
    RegisterBuiltinModule(name, {{"answer", reinterpret_cast<void*>(&Other)}});
    EXPECT_EQ(LoadLibraryA((name + ".dll").c_str()), module);
    EXPECT_EQ(reinterpret_cast<int (*)()>(GetProcAddress(module, "answer"))(), 7);
    const HINSTANCE pack = LoadLibraryA(files.Make("gfx.dll", SmallPack()).c_str());
    EXPECT_EQ(GetProcAddress(pack, "answer"), nullptr);
    FreeLibrary(pack);
}

} // namespace
