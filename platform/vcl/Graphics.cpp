#include "platform/vcl/Graphics.h"

#include <QApplication>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/vcl/QtBridge.h"
#include "platform/win32/Resources.h"

// ---- colours ----

namespace {

constexpr uint32_t SystemColorBit = 0x80000000u;

QPalette::ColorRole RoleOf(TColor color) {
    switch (color) {
    case clWindow:
        return QPalette::Base;
    case clWindowText:
        return QPalette::WindowText;
    case clHighlight:
        return QPalette::Highlight;
    case clHighlightText:
        return QPalette::HighlightedText;
    case clGrayText:
        return QPalette::PlaceholderText;
    case clBtnText:
        return QPalette::ButtonText;
    case clInfoBk:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Button;
    }
}

} // namespace

QColor ColorToQColor(TColor color) {
    if (color == clNone)
        return QColor(Qt::transparent);
    const auto value = static_cast<uint32_t>(color);
    if (value & SystemColorBit)
        return QApplication::palette().color(RoleOf(color));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color) {
    if (color.alpha() == 0)
        return clNone;
    return static_cast<TColor>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

// ---- TFont ----

namespace {

constexpr int ScreenDpi = 96;

// The faces a form resource names are Windows faces; this system shows
// them in its own sans-serif face of the same size.
QString FamilyFor(const AnsiString& name) {
    const QString family = ToQString(name);
    if (QFontDatabase::hasFamily(family))
        return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace

TFont::TFont()
    : Name([this] { return name_.empty() ? AnsiString("MS Sans Serif") : name_; },
           [this](const AnsiString& v) {
               name_ = v;
               Change();
           }),
      Height(
          [this] {
              if (pixelHeight_)
                  return pixelHeight_;
              const int points = pointSize_ ? pointSize_ : 8;
              return -static_cast<int>(std::lround(points * ScreenDpi / 72.0));
          },
          [this](int v) {
              pixelHeight_ = v;
              pointSize_ = 0;
              Change();
          }),
      Size(
          [this] {
              if (pointSize_)
                  return pointSize_;
              if (pixelHeight_)
                  return static_cast<int>(std::lround(std::abs(pixelHeight_) * 72.0 / ScreenDpi));
              return 8;
          },
          [this](int v) {
              pointSize_ = v;
              pixelHeight_ = 0;
              Change();
          }),
      Color([this] { return color_; },
            [this](TColor v) {
                color_ = v;
                Change();
            }),
      Style([this] { return style_; },
            [this](TFontStyles v) {
                style_ = v;
                Change();
            }) {}

TFont::~TFont() = default;

void TFont::Change() {
    changed_ = true;
    if (OnChange)
        OnChange(this);
}

void TFont::Assign(const TFont& source) {
    name_ = source.name_;
    pixelHeight_ = source.pixelHeight_;
    pointSize_ = source.pointSize_;
    color_ = source.color_;
    style_ = source.style_;
    Change();
}

QFont TFont::ToQFont(const QFont& base) const {
    QFont font = base;
    if (!name_.empty())
        font.setFamily(FamilyFor(name_));
    if (pixelHeight_)
        font.setPixelSize(std::abs(pixelHeight_));
    else if (pointSize_)
        font.setPixelSize(static_cast<int>(std::lround(pointSize_ * ScreenDpi / 72.0)));
    font.setBold(style_.Contains(fsBold));
    font.setItalic(style_.Contains(fsItalic));
    font.setUnderline(style_.Contains(fsUnderline));
    font.setStrikeOut(style_.Contains(fsStrikeOut));
    return font;
}

// ---- TBitmap ----

TBitmap::TBitmap()
    : Width([this] { return image_->width(); }, [this](int v) { Resize(v, image_->height()); }),
      Height([this] { return image_->height(); }, [this](int v) { Resize(image_->width(), v); }),
      image_(std::make_unique<QImage>()) {}

TBitmap::~TBitmap() = default;

int TBitmap::GetWidth() const {
    return image_->width();
}
int TBitmap::GetHeight() const {
    return image_->height();
}
bool TBitmap::Empty() const {
    return image_->isNull();
}

void TBitmap::Assign(const QImage& image) {
    *image_ = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE module, const AnsiString& name) {
    const QImage image = FindBitmapResource(module, name);
    if (image.isNull())
        throw EResNotFound("Resource " + name + " not found");
    Assign(image);
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
    if (!FileExists(fileName))
        throw EFOpenError("Cannot open file \"" + fileName + "\"");
    QImage image;
    if (!image.load(ToQString(fileName)))
        throw EInvalidGraphic("Bitmap image is not valid");
    Assign(image);
}

void TBitmap::LoadFromStream(TStream& Stream) {
    const int64_t count = std::max<int64_t>(0, Stream.Size - Stream.Position);
    if (count > std::numeric_limits<int>::max())
        throw EInvalidGraphic("Bitmap image is not valid");
    QByteArray data(static_cast<qsizetype>(count), Qt::Uninitialized);
    Stream.ReadBuffer(data.data(), static_cast<int>(count));
    QImage image;
    if (!image.loadFromData(data))
        throw EInvalidGraphic("Bitmap image is not valid");
    Assign(image);
}

void TBitmap::Resize(int width, int height) {
    QImage resized(std::max(0, width), std::max(0, height), QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::white);
    QPainter painter(&resized);
    painter.drawImage(0, 0, *image_);
    painter.end();
    *image_ = resized;
    Changed();
}

// ---- TPicture ----

TPicture::TPicture()
    : Bitmap([this] { return bitmap_.get(); }), Graphic([this] { return bitmap_.get(); }),
      Width([this] { return bitmap_->GetWidth(); }),
      Height([this] { return bitmap_->GetHeight(); }), bitmap_(std::make_unique<TBitmap>()) {
    bitmap_->OnChange = [this](TObject*) {
        if (OnChange)
            OnChange(this);
    };
}

TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const AnsiString& fileName) {
    bitmap_->LoadFromFile(fileName);
}

// ---- TCanvas ----

struct TCanvas::Surface {
    QImage image;
    QPointer<QWidget> target;
};

TCanvas::TCanvas(QWidget* target)
    : Pixels(*this), Brush([this] { return &brush_; }), Pen([this] { return &pen_; }),
      Font([this] { return &font_; }), Handle([this] { return reinterpret_cast<HDC>(this); }),
      surface_(std::make_unique<Surface>()) {
    surface_->target = target;
    surface_->image = QImage(0, 0, QImage::Format_ARGB32_Premultiplied);
}

TCanvas::~TCanvas() = default;

const QImage& TCanvas::Image() const {
    return surface_->image;
}

void TCanvas::Resize(int width, int height) {
    QImage& image = surface_->image;
    if (image.width() == width && image.height() == height)
        return;
    QImage resized(std::max(0, width), std::max(0, height), QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::transparent);
    QPainter painter(&resized);
    painter.drawImage(0, 0, image);
    painter.end();
    image = resized;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    QPainter painter(&surface_->image);
    painter.drawImage(X, Y, Graphic->Image());
    painter.end();
    Show(X, Y, Graphic->GetWidth(), Graphic->GetHeight());
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    QPainter painter(&surface_->image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), Graphic->Image());
    painter.end();
    Show(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TCanvas::FillRect(const TRect& rect) {
    if (brush_.Style == bsClear)
        return;
    QPainter painter(&surface_->image);
    painter.fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()),
                     ColorToQColor(brush_.Color));
    painter.end();
    Show(rect.Left, rect.Top, rect.Width(), rect.Height());
}

TColor TCanvas::GetPixel(int x, int y) const {
    const QImage& image = surface_->image;
    if (!image.valid(x, y))
        return clNone;
    return QColorToColor(image.pixelColor(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    QImage& image = surface_->image;
    if (!image.valid(x, y))
        return;
    image.setPixelColor(x, y, ColorToQColor(color));
    Show(x, y, 1, 1);
}

void TCanvas::Show(int x, int y, int width, int height) {
    QWidget* target = surface_->target;
    if (!target)
        return;
    const QRect area(x, y, width, height);
    if (PaintState::PaintingWidget() == target)
        return;
    if (PaintState::Painting()) {
        target->update(area);
        return;
    }
    PaintState::ShowScope showing;
    target->repaint(area);
}
