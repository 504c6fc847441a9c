#pragma once
// Colours, fonts, bitmaps, pictures and the canvas of the class library.
// A colour is 0x00BBGGRR as in a form resource ($00D9A00D is red 13,
// green 160, blue 217); the cl-constants with the high bit set are the
// system's colours. A canvas draws into an image that backs its control,
// and what is drawn reaches the screen at once.

#include <memory>

#include "platform/vcl/Classes.h"
#include "platform/vcl/SysSet.h"
#include "platform/win32/WinTypes.h"

class QImage;
class QFont;
class QColor;
class QWidget;

enum TColor : int32_t {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,
    clNone = 0x1FFFFFFF,
    clWindow = int32_t(0x80000005),
    clWindowText = int32_t(0x80000008),
    clHighlight = int32_t(0x8000000D),
    clHighlightText = int32_t(0x8000000E),
    clBtnFace = int32_t(0x8000000F),
    clGrayText = int32_t(0x80000011),
    clBtnText = int32_t(0x80000012),
    clInfoBk = int32_t(0x80000018),
};

// The colour as Qt sees it; system colours come from the application's
// palette.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

struct TPoint {
    int x = 0;
    int y = 0;
};
inline TPoint Point(int x, int y) {
    return {x, y};
}

// Right and Bottom lie just outside the rectangle, as in Windows.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};
inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle, fsBold, fsStrikeOut>;

// Name, size and colour of a control's text. Height in pixels is the form
// resource's way (negative: the height of the characters); Size is in
// points. A font name this system does not have falls back to the
// desktop's sans-serif face.
class TFont : public TObject {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    ~TFont() override;

    void Assign(const TFont& source);

    Property<AnsiString> Name;
    Property<int> Height;
    Property<int> Size;
    Property<TColor> Color;
    Property<TFontStyles> Style;
    // Called after every change; the owning control applies it.
    TNotifyEvent OnChange;

    // Whether anything was set since construction (an untouched font
    // follows its parent, as the class library's ParentFont does).
    bool Changed() const { return changed_; }
    QFont ToQFont(const QFont& base) const;

private:
    void Change();

    AnsiString name_;
    int pixelHeight_ = 0; // 0: not set
    int pointSize_ = 0;   // 0: not set
    TColor color_ = clWindowText;
    TFontStyles style_;
    bool changed_ = false;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TObject {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class TPen : public TObject {
public:
    TColor Color = clBlack;
    int Width = 1;
};

// Something that can be drawn on a canvas.
class TGraphic : public TObject {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual bool Empty() const = 0;
    virtual void LoadFromFile(const AnsiString& fileName) = 0;
    // The pixels to draw.
    virtual const QImage& Image() const = 0;

    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
};

// A bitmap held in memory. We hold no device handles, so Dormant and
// ReleaseHandle keep the pixels and have nothing else to release.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    // The named bitmap of a loaded resource module (a graphics pack);
    // raises EResNotFound ("Resource <name> not found") when the module
    // has no such bitmap.
    void LoadFromResourceName(HINSTANCE module, const AnsiString& name);
    // A picture file (BMP, PNG); a missing file raises EFOpenError,
    // undecodable content EInvalidGraphic.
    void LoadFromFile(const AnsiString& fileName) override;
    // The picture data from the stream's position to its end (BMP, PNG);
    // data that does not decode raises EInvalidGraphic.
    void LoadFromStream(TStream& Stream);
    void Assign(const QImage& image);
    void Dormant() {}
    void ReleaseHandle() {}

    Property<int> Width;
    Property<int> Height;

    int GetWidth() const override;
    int GetHeight() const override;
    bool Empty() const override;
    const QImage& Image() const override { return *image_; }

private:
    void Resize(int width, int height);
    std::unique_ptr<QImage> image_;
};

// Holds one graphic; here always a bitmap.
class TPicture : public TObject {
public:
    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    ~TPicture() override;

    void LoadFromFile(const AnsiString& fileName);

    ReadOnlyProperty<TBitmap*> Bitmap;
    ReadOnlyProperty<TGraphic*> Graphic;
    ReadOnlyProperty<int> Width;
    ReadOnlyProperty<int> Height;
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> bitmap_;
};

// Where a canvas draws: an image of the control's size, shown by the
// control. The control calls Resize when its size changes.
class TCanvas : public TObject {
public:
    // `target` is the widget that shows the image; nullptr for a canvas
    // that only draws into memory.
    explicit TCanvas(QWidget* target = nullptr);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas() override;

    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& rect, TGraphic* Graphic);
    void FillRect(const TRect& rect);

    // Canvas->Pixels[x][y], read and written; outside the canvas reads
    // give clNone and writes are ignored.
    class PixelColumn {
    public:
        class Pixel {
        public:
            Pixel(TCanvas& canvas, int x, int y) : canvas_(canvas), x_(x), y_(y) {}
            operator TColor() const { return canvas_.GetPixel(x_, y_); }
            Pixel& operator=(TColor color) {
                canvas_.SetPixel(x_, y_, color);
                return *this;
            }

        private:
            TCanvas& canvas_;
            int x_, y_;
        };
        PixelColumn(TCanvas& canvas, int x) : canvas_(canvas), x_(x) {}
        Pixel operator[](int y) const { return Pixel(canvas_, x_, y); }

    private:
        TCanvas& canvas_;
        int x_;
    };
    class PixelArray {
    public:
        explicit PixelArray(TCanvas& canvas) : canvas_(canvas) {}
        PixelColumn operator[](int x) const { return PixelColumn(canvas_, x); }

    private:
        TCanvas& canvas_;
    };
    PixelArray Pixels;

    ReadOnlyProperty<TBrush*> Brush;
    ReadOnlyProperty<TPen*> Pen;
    ReadOnlyProperty<TFont*> Font;
    // The canvas's device, for the device queries of the Win32 layer.
    ReadOnlyProperty<HDC> Handle;

    // Platform side: the backing image, and its size following the
    // control's.
    const QImage& Image() const;
    void Resize(int width, int height);

private:
    struct Surface;
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    void Show(int x, int y, int width, int height);

    std::unique_ptr<Surface> surface_;
    TBrush brush_;
    TPen pen_;
    TFont font_;
};
