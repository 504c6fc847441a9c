#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/win32/Resources.h"
#include "tests/support/Pump.h"

namespace {

void Settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

QImage Filled(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A graphics pack of two bitmaps, built as the pack generator builds one.
class PackFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        const QDir dir(folder_.path());
        ASSERT_TRUE(Filled(20, 10, QColor(200, 30, 40)).save(dir.filePath("white7.png")));
        ASSERT_TRUE(Filled(8, 8, QColor(10, 220, 30)).save(dir.filePath("digit3.png")));
        QFile strings(dir.filePath("strings.txt"));
        ASSERT_TRUE(strings.open(QIODevice::WriteOnly));
        strings.write("1001\tclassic\n");
        strings.close();
        QFile qrc(dir.filePath("pack.qrc"));
        ASSERT_TRUE(qrc.open(QIODevice::WriteOnly));
        qrc.write("<RCC><qresource prefix=\"/\">"
                  "<file alias=\"bitmaps/white7\">white7.png</file>"
                  "<file alias=\"bitmaps/digit3\">digit3.png</file>"
                  "<file alias=\"strings\">strings.txt</file>"
                  "</qresource></RCC>");
        qrc.close();
        pack_ = dir.filePath("gfx0.dll").toStdString();
        const std::string command = std::string(KORVEL_RCC) + " --binary --no-compress " +
                                    dir.filePath("pack.qrc").toStdString() + " -o " + pack_;
        ASSERT_EQ(std::system(command.c_str()), 0);
        module_ = LoadLibraryA(pack_.c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
    }

    QTemporaryDir folder_;
    std::string pack_;
    HINSTANCE module_ = nullptr;
};

} // namespace

TEST_F(PackFixture, APaintBoxDrawsAPackBitmapAtItsPlace) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->ClientWidth = 200;
    form->ClientHeight = 150;
    auto* box = new TPaintBox(form.get());
    box->Parent = form.get();
    box->Align = alClient;
    TPicture picture;
    picture.Bitmap->LoadFromResourceName(module_, "white7");
    EXPECT_EQ(picture.Width, 20);
    EXPECT_EQ(picture.Height, 10);
    box->Canvas->Draw(30, 40, picture.Bitmap);
    picture.Bitmap->Dormant();
    picture.Bitmap->ReleaseHandle();
    const struct {
        int x, y;
        TColor colour;
    } pixels[] = {{30, 40, TColor(0x281EC8)}, {49, 49, TColor(0x281EC8)}, {29, 40, clNone},
                  {50, 45, clNone},           {35, 50, clNone},           {0, 0, clNone}};
    for (const auto& p : pixels)
        EXPECT_EQ(box->Canvas->Pixels[p.x][p.y], p.colour) << p.x << "," << p.y;
}

TEST_F(PackFixture, AMissingBitmapRaisesTheResourceError) {
    TBitmap bitmap;
    try {
        bitmap.LoadFromResourceName(module_, "glow3");
        ADD_FAILURE() << "no error";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message, "Resource glow3 not found");
    }
    EXPECT_THROW(bitmap.LoadFromResourceName(nullptr, "white7"), EResNotFound);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(Canvas, DrawingOutsideAPaintShowsAtOnce) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* box = new TPaintBox(form.get());
    box->Parent = form.get();
    box->SetBounds(10, 10, 100, 100);
    int boxPaints = 0;
    int formPaints = 0;
    box->OnPaint = [&](TObject*) { ++boxPaints; };
    form->OnPaint = [&](TObject*) { ++formPaints; };
    form->Show();
    // The first paints come when the machine gets to them.
    ASSERT_TRUE(PumpUntil([&] { return formPaints > 0 && boxPaints > 0; }));
    Settle();
    PaintCounter counter(box->Widget());
    const int boxBefore = boxPaints;
    const int formBefore = formPaints;
    TBitmap frame;
    for (int i = 0; i < 4; ++i) {
        frame.Assign(Filled(10, 10, i % 2 ? Qt::red : Qt::blue));
        box->Canvas->Draw(i * 10, 0, &frame);
        // Shown before any event is processed, frame by frame.
        EXPECT_EQ(counter.paints, i + 1);
    }
    Settle();
    EXPECT_EQ(boxPaints, boxBefore) << "showing a drawing runs no OnPaint";
    EXPECT_EQ(formPaints, formBefore);
    const QImage shown = box->Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(35, 5), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(25, 5), QColor(Qt::blue));
}

TEST(Canvas, OnPaintDrawsWhenThePaintBoxIsPainted) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->Color = clBlack;
    auto* box = new TPaintBox(form.get());
    box->Parent = form.get();
    box->SetBounds(0, 0, 60, 60);
    TBitmap marker;
    marker.Assign(Filled(5, 5, Qt::yellow));
    int paints = 0;
    box->OnPaint = [&](TObject*) {
        ++paints;
        box->Canvas->Draw(20, 20, &marker);
    };
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return paints > 0; }));
    const int before = paints;
    box->Repaint();
    EXPECT_EQ(paints, before + 1);
    const QImage shown = box->Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(22, 22), QColor(Qt::yellow));
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::black))
        << "the form shows where nothing was drawn";
}

TEST(Canvas, TheImageFollowsTheControlsSizeAndKeepsWhatWasDrawn) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* box = new TPaintBox(form.get());
    box->Parent = form.get();
    box->SetBounds(0, 0, 40, 40);
    box->Canvas->Brush->Color = clRed;
    box->Canvas->FillRect(Rect(0, 0, 10, 10));
    box->Width = 400;
    box->Height = 300;
    EXPECT_EQ(box->Canvas->Image().size(), QSize(400, 300));
    EXPECT_EQ(box->Canvas->Pixels[5][5], clRed);
    box->Canvas->Pixels[399][299] = clLime;
    EXPECT_EQ(box->Canvas->Pixels[399][299], clLime);
    EXPECT_EQ(box->Canvas->Pixels[400][0], clNone);
    EXPECT_NE(box->Canvas->Handle, nullptr);
}

TEST(Bitmap, LoadsPictureFilesAndRefusesBadOnes) {
    QTemporaryDir folder;
    const std::string good = QDir(folder.path()).filePath("sshot0.bmp").toStdString();
    ASSERT_TRUE(Filled(169, 129, Qt::green).save(QString::fromStdString(good)));
    TPicture picture;
    picture.LoadFromFile(good);
    EXPECT_EQ(picture.Width, 169);
    EXPECT_EQ(picture.Height, 129);

    const std::string bad = QDir(folder.path()).filePath("bad.bmp").toStdString();
    QFile file(QString::fromStdString(bad));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is no bitmap");
    file.close();
    EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(good + ".missing"), EFOpenError);
    EXPECT_EQ(picture.Width, 169) << "a failed load keeps the picture";
    picture.Bitmap->Width = 10;
    EXPECT_EQ(picture.Bitmap->Width, 10);
    EXPECT_EQ(picture.Bitmap->Height, 129);
}

// As a form resource's image list data: the picture starts at the stream's
// position and takes the rest of it.
TEST(Bitmap, LoadsAPictureFromTheRestOfAStreamAndRefusesABadOne) {
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(Filled(16, 12, Qt::red).save(&buffer, "PNG"));
    TMemoryStream stream;
    stream.WriteBuffer("head", 4);
    stream.WriteBuffer(png.constData(), static_cast<int>(png.size()));
    stream.Position = 4;
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width, 16);
    EXPECT_EQ(bitmap.Height, 12);
    EXPECT_EQ(QColor(bitmap.Image().pixel(5, 5)), QColor(Qt::red));
    EXPECT_EQ(stream.Position, stream.Size);

    TMemoryStream bad;
    bad.WriteBuffer(png.constData(), static_cast<int>(png.size()) / 2);
    bad.Position = 0;
    EXPECT_THROW(bitmap.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width, 16) << "a failed load keeps the bitmap";
    EXPECT_THROW(bitmap.LoadFromStream(bad), EInvalidGraphic) << "nothing left to read";
}

TEST(Image, ShowsItsPicture) {
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* image = new TImage(form.get());
    image->Parent = form.get();
    image->SetBounds(0, 0, 169, 129);
    form->Show();
    image->Picture->Bitmap->Assign(Filled(169, 129, Qt::magenta));
    Settle();
    const QImage shown = image->Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(100, 100), QColor(Qt::magenta));
}
