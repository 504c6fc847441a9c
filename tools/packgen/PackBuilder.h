#pragma once
// Lays out one pack from its theme and renders every bitmap and string it
// must hold: the background, the five bitmaps of each point (each cut from
// the background at the point's rectangle, so drawing one replaces another),
// the stacks of pieces in hand, the labels, the digits and the positions.

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <map>

#include "tools/packgen/Theme.h"

struct Pack {
    std::map<QString, QImage> bitmaps; // by resource name
    std::map<int, QString> strings;    // by string id
};

struct PackLayout {
    QSize size;
    std::array<QRect, 24> points;
    QRect whiteStack;
    QRect blackStack;
    QRect label1; // "beschriftungblack" / "beschriftungstage"
    QRect label2; // "beschriftungwhite" / "beschriftungscore"
    QRect counter1Plate;
    QRect counter2Plate;
    QPoint counter1;
    QPoint counter2;
    QRect board; // the slab on the picture, for the preview
};

class PackBuilder {
public:
    explicit PackBuilder(const Theme& theme);

    // Throws std::runtime_error when the layout breaks a rule of the pack
    // format (overlapping rectangles, numbers beyond three digits).
    Pack Build() const;
    const PackLayout& Layout() const { return layout_; }

private:
    // The table, the slab's top or its side wall, whichever the pixel shows.
    QRgb Surface(const Projection& projection, QPointF pixel) const;
    QImage RenderBackground() const;
    QImage RenderPoint(const QImage& background, int point, const QString& kind) const;
    QImage RenderStack(const QImage& background, PieceKind kind, int count) const;
    QImage RenderLabel(const QImage& background, const QRect& area, LabelKind kind) const;
    QImage RenderDigit(const QImage& background, int digit) const;
    std::map<int, QString> Strings() const;
    std::array<QPointF, 9> TraySlots(QPointF centre) const;
    PieceShape TrayPiece(QPointF slot) const;
    void Check() const;

    const Theme& theme_;
    const ThemeSpec& spec_;
    Scene scene_;
    PackLayout layout_;
};
