// The generated graphics packs gfx0.dll..gfx3.dll and previews, read the
// way the game reads them: every name and string id the board view asks
// for, positions of at most three digits, and a layout in which drawing one
// bitmap never spoils another.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/vcl/SysUtils.h"
#include "platform/win32/Resources.h"

namespace {

std::string ProgramDir() {
    const char* dir = std::getenv("KORVEL_PROGRAM_DIR");
    return dir ? dir : ".";
}

std::vector<std::string> PointNames(int n) {
    std::vector<std::string> names;
    for (const char* kind : {"empty", "white", "black", "glow", "red"})
        names.push_back(kind + std::to_string(n));
    return names;
}

std::vector<std::string> EveryBitmapName() {
    std::vector<std::string> names{"background", "beschriftungwhite", "beschriftungblack",
                                   "beschriftungscore", "beschriftungstage"};
    for (int n = 1; n <= 24; ++n)
        for (const std::string& name : PointNames(n))
            names.push_back(name);
    for (int k = 0; k <= 9; ++k) {
        names.push_back("ersatz_white" + std::to_string(k));
        names.push_back("ersatz_black" + std::to_string(k));
        names.push_back("digit" + std::to_string(k));
    }
    return names;
}

std::vector<UINT> EveryNumberId() {
    std::vector<UINT> ids;
    for (UINT id = 0; id <= 47; ++id)
        ids.push_back(id);
    for (UINT id = 200; id <= 295; ++id)
        ids.push_back(id);
    for (UINT base : {100u, 300u, 350u})
        for (UINT id = base; id < base + 4; ++id)
            ids.push_back(id);
    return ids;
}

bool Overlap(const QRect& a, const QRect& b) {
    return a.intersects(b);
}

QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

class GeneratedPack : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        const std::string file = ProgramDir() + "/gfx" + std::to_string(GetParam()) + ".dll";
        module_ = LoadLibraryA(file.c_str());
        ASSERT_NE(module_, nullptr) << file;
        background_ = Bitmap("background");
        ASSERT_FALSE(background_.isNull());
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
    }

    QImage Bitmap(const std::string& name) const { return FindBitmapResource(module_, name); }

    std::string Text(UINT id) const {
        char buffer[64];
        const int length = LoadStringA(module_, id, buffer, sizeof buffer);
        return std::string(buffer, static_cast<size_t>(length));
    }

    // As the board view reads a number: into a four-character buffer.
    int Number(UINT id) const {
        char buffer[4];
        LoadStringA(module_, id, buffer, sizeof buffer);
        return StrToInt(buffer);
    }

    // Where the named bitmap is drawn, its x and y in strings xId and yId.
    QRect Placed(const std::string& name, UINT xId, UINT yId) const {
        return QRect(QPoint(Number(xId), Number(yId)), Bitmap(name).size());
    }
    QRect PointArea(int point) const {
        return Placed("empty" + std::to_string(point + 1), point, point + 24);
    }

    QRect ClickBox(int point) const {
        return QRect(QPoint(Number(200 + point), Number(224 + point)),
                     QPoint(Number(248 + point), Number(272 + point)));
    }

    QRect Picture() const { return QRect(QPoint(0, 0), background_.size()); }

    HINSTANCE module_ = nullptr;
    QImage background_;
};

TEST_P(GeneratedPack, HoldsEveryBitmapOpaque) {
    for (const std::string& name : EveryBitmapName()) {
        const QImage image = Bitmap(name);
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image,
                  image.convertToFormat(QImage::Format_RGB32).convertToFormat(image.format()))
            << name << " is not opaque, so it would not replace what it is drawn over";
    }
}

TEST_P(GeneratedPack, NumbersHaveAtMostThreeDigits) {
    for (UINT id : EveryNumberId()) {
        const std::string text = Text(id);
        EXPECT_TRUE(!text.empty() && text.size() <= 3 &&
                    text.find_first_not_of("0123456789") == std::string::npos)
            << "string " << id << " is \"" << text << "\"";
    }
}

TEST_P(GeneratedPack, SoundPrefixIsAShortFileName) {
    const std::string prefix = Text(1001);
    EXPECT_FALSE(prefix.empty());
    EXPECT_LE(prefix.size(), 19u);
    EXPECT_EQ(prefix.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"), std::string::npos)
        << prefix;
}

TEST_P(GeneratedPack, BackgroundSizeFitsThreeDigits) {
    EXPECT_GE(background_.width(), 400);
    EXPECT_GE(background_.height(), 300);
    EXPECT_LE(background_.width(), 999);
    EXPECT_LE(background_.height(), 999);
}

// Drawing any of a point's bitmaps replaces the one before, so all five
// cover the same rectangle, and the empty one is the background there.
TEST_P(GeneratedPack, PointBitmapsShareTheirRectangleAndBackground) {
    for (int i = 0; i < 24; ++i) {
        const std::vector<std::string> names = PointNames(i + 1);
        const QRect area = PointArea(i);
        ASSERT_TRUE(Picture().contains(area)) << names[0];
        EXPECT_EQ(Rgb(Bitmap(names[0])), Rgb(background_.copy(area))) << names[0];
        for (const std::string& name : names)
            EXPECT_EQ(Bitmap(name).size(), area.size()) << name;
        for (size_t a = 0; a < names.size(); ++a)
            for (size_t b = a + 1; b < names.size(); ++b)
                EXPECT_NE(Rgb(Bitmap(names[a])), Rgb(Bitmap(names[b])))
                    << names[a] << " looks like " << names[b];
    }
}

TEST_P(GeneratedPack, ClickBoxesLieInsideTheBackgroundApart) {
    for (int i = 0; i < 24; ++i) {
        const QRect box = ClickBox(i);
        EXPECT_TRUE(box.isValid() && Picture().contains(box)) << "point " << i;
        EXPECT_TRUE(PointArea(i).contains(box.center()))
            << "click box of point " << i << " is away from its picture";
        for (int j = i + 1; j < 24; ++j)
            EXPECT_FALSE(Overlap(box, ClickBox(j))) << "points " << i << " and " << j;
    }
}

// The board view draws counters, stacks, labels, then the points, each
// straight over the last picture: no two of them may share a pixel, or one
// would cut into another. A counter gets room for a four-digit score.
TEST_P(GeneratedPack, DrawnAreasDoNotOverlap) {
    int digitWidth = 0;
    int digitHeight = 0;
    for (int d = 0; d <= 9; ++d) {
        digitWidth = std::max(digitWidth, Bitmap("digit" + std::to_string(d)).width());
        digitHeight = std::max(digitHeight, Bitmap("digit" + std::to_string(d)).height());
    }
    std::vector<std::pair<std::string, QRect>> areas;
    for (int i = 0; i < 24; ++i)
        areas.emplace_back("point " + std::to_string(i), PointArea(i));
    areas.emplace_back("white stack", Placed("ersatz_white9", 100, 101));
    areas.emplace_back("black stack", Placed("ersatz_black9", 102, 103));
    areas.emplace_back("label 1", Placed("beschriftungblack", 350, 351));
    areas.emplace_back("label 2", Placed("beschriftungwhite", 352, 353));
    for (UINT id : {300u, 302u})
        areas.emplace_back("counter at " + std::to_string(id),
                           QRect(Number(id), Number(id + 1), 4 * digitWidth, digitHeight));
    for (size_t a = 0; a < areas.size(); ++a) {
        EXPECT_TRUE(Picture().contains(areas[a].second)) << areas[a].first;
        for (size_t b = a + 1; b < areas.size(); ++b)
            EXPECT_FALSE(Overlap(areas[a].second, areas[b].second))
                << areas[a].first << " and " << areas[b].first;
    }
}

TEST_P(GeneratedPack, StacksShowEachCountInOnePlace) {
    for (const char* colour : {"ersatz_white", "ersatz_black"}) {
        const QSize size = Bitmap(colour + std::string("0")).size();
        for (int k = 1; k <= 9; ++k) {
            const std::string name = colour + std::to_string(k);
            EXPECT_EQ(Bitmap(name).size(), size) << name;
            EXPECT_NE(Rgb(Bitmap(name)), Rgb(Bitmap(colour + std::to_string(k - 1)))) << name;
        }
    }
    EXPECT_NE(Rgb(Bitmap("ersatz_white5")), Rgb(Bitmap("ersatz_black5")));
}

// Label 1 is black or stage, label 2 white or score: each pair is drawn at
// one place, over one another when the mode changes.
TEST_P(GeneratedPack, LabelsOfOnePlaceShareTheirSize) {
    EXPECT_EQ(Bitmap("beschriftungblack").size(), Bitmap("beschriftungstage").size());
    EXPECT_EQ(Bitmap("beschriftungwhite").size(), Bitmap("beschriftungscore").size());
    EXPECT_NE(Rgb(Bitmap("beschriftungblack")), Rgb(Bitmap("beschriftungstage")));
    EXPECT_NE(Rgb(Bitmap("beschriftungwhite")), Rgb(Bitmap("beschriftungscore")));
}

TEST_P(GeneratedPack, DigitsAreDistinctAndOfOneHeight) {
    const int height = Bitmap("digit0").height();
    for (int d = 0; d <= 9; ++d) {
        EXPECT_EQ(Bitmap("digit" + std::to_string(d)).height(), height) << d;
        for (int e = d + 1; e <= 9; ++e)
            EXPECT_NE(Rgb(Bitmap("digit" + std::to_string(d))),
                      Rgb(Bitmap("digit" + std::to_string(e))))
                << d << " and " << e;
    }
}

TEST_P(GeneratedPack, PreviewIsAPicture) {
    const std::string file = ProgramDir() + "/sshot" + std::to_string(GetParam()) + ".bmp";
    const QImage preview(QString::fromStdString(file), "BMP");
    ASSERT_FALSE(preview.isNull()) << file;
    EXPECT_EQ(preview.size(), QSize(169, 129));
    std::set<QRgb> colours;
    for (int y = 0; y < preview.height(); y += 4)
        for (int x = 0; x < preview.width(); x += 4)
            colours.insert(preview.pixel(x, y));
    EXPECT_GT(colours.size(), 100u) << "the preview shows hardly anything";
}

INSTANTIATE_TEST_SUITE_P(EveryPack, GeneratedPack, testing::Values(0, 1, 2, 3));

TEST(GeneratedPacks, EachHasASoundPrefixOfItsOwn) {
    std::set<std::string> prefixes;
    for (int n = 0; n < 4; ++n) {
        const std::string file = ProgramDir() + "/gfx" + std::to_string(n) + ".dll";
        const HINSTANCE module = LoadLibraryA(file.c_str());
        ASSERT_NE(module, nullptr) << file;
        char buffer[20];
        prefixes.insert(std::string(buffer, LoadStringA(module, 1001, buffer, sizeof buffer)));
        FreeLibrary(module);
    }
    EXPECT_EQ(prefixes.size(), 4u);
}

} // namespace
