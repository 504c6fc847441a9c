#include "tools/packgen/PackBuilder.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int CounterDigits = 5; // room on each plate: arcade scores pass 999

// Ring k (0 outside) has half-side 3 - k; each ring is numbered clockwise
// from its back-left corner, so the even numbers are corners and the
// mid-side points 1-9-17, 3-11-19, 5-13-21, 7-15-23 line up across rings.
std::array<QPointF, 24> BoardPoints() {
    static constexpr int steps[8][2] = {{-1, 1}, {0, 1},  {1, 1},   {1, 0},
                                        {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};
    std::array<QPointF, 24> points;
    for (int i = 0; i < 24; ++i) {
        const double half = 3 - i / 8;
        points[i] = QPointF(steps[i % 8][0] * half, steps[i % 8][1] * half);
    }
    return points;
}

// Signed distance from the slab's rounded square outline (negative inside).
double SlabDistance(QPointF p, double half, double corner) {
    const double qx = std::abs(p.x()) - half + corner;
    const double qy = std::abs(p.y()) - half + corner;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - corner;
}

QPointF SlabNormal(QPointF p, double half, double corner) {
    const double e = 1e-3;
    const double dx = SlabDistance(p + QPointF(e, 0), half, corner) -
                      SlabDistance(p - QPointF(e, 0), half, corner);
    const double dy = SlabDistance(p + QPointF(0, e), half, corner) -
                      SlabDistance(p - QPointF(0, e), half, corner);
    const double length = std::hypot(dx, dy);
    return length > 0 ? QPointF(dx / length, dy / length) : QPointF(0, -1);
}

QRect Bounds(const QRectF& area) {
    // One pixel more all round for the antialiased edges.
    const int left = static_cast<int>(std::floor(area.left())) - 1;
    const int top = static_cast<int>(std::floor(area.top())) - 1;
    const int right = static_cast<int>(std::ceil(area.right())) + 1;
    const int bottom = static_cast<int>(std::ceil(area.bottom())) + 1;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRectF Ellipse(QPointF centre, QPointF radii) {
    return {centre.x() - radii.x(), centre.y() - radii.y(), 2 * radii.x(), 2 * radii.y()};
}

QImage Cut(const QImage& background, const QRect& area) {
    return background.copy(area).convertToFormat(QImage::Format_RGB32);
}

Scene MakeScene(const ThemeSpec& spec, double zoom) {
    Camera camera = spec.camera;
    camera.focal *= zoom;
    camera.centre *= zoom;
    return Scene{spec, Projection(camera), BoardPoints(),
                 QSize(spec.picture.width() * zoom, spec.picture.height() * zoom)};
}

} // namespace

PackBuilder::PackBuilder(const Theme& theme)
    : theme_(theme), spec_(theme.Spec()), scene_(MakeScene(spec_, 1)) {
    layout_.size = spec_.picture;
    for (int i = 0; i < 24; ++i) {
        const QPointF p = scene_.points[i];
        const PieceShape piece = scene_.Piece(p, 0, spec_.pieceRadius, spec_.pieceHeight);
        const QRectF mark = Ellipse(scene_.At(p, 0), scene_.Radii(p, 0, spec_.markRadius));
        layout_.points[i] = Bounds(mark | PieceArea(piece));
    }
    auto stackArea = [this](QPointF centre) {
        QRectF area;
        for (const QPointF& slot : TraySlots(centre))
            area |= PieceArea(TrayPiece(slot));
        return Bounds(area);
    };
    layout_.whiteStack = stackArea(spec_.whiteTray);
    layout_.blackStack = stackArea(spec_.blackTray);

    const int width = spec_.picture.width();
    const QSize plate(spec_.labelSize.width(), spec_.digitSize.height() + 2 * spec_.platePadding);
    const int plateTop = spec_.margin + spec_.labelSize.height() + 4;
    layout_.label2 = QRect(QPoint(spec_.margin, spec_.margin), spec_.labelSize);
    layout_.label1 = QRect(QPoint(width - spec_.margin - spec_.labelSize.width(), spec_.margin),
                           spec_.labelSize);
    layout_.counter1Plate = QRect(QPoint(spec_.margin, plateTop), plate);
    layout_.counter2Plate = QRect(QPoint(layout_.label1.left(), plateTop), plate);
    const QPoint inset(spec_.platePadding, spec_.platePadding);
    layout_.counter1 = layout_.counter1Plate.topLeft() + inset;
    layout_.counter2 = layout_.counter2Plate.topLeft() + inset;
    QRectF board;
    for (double x : {-1.0, 1.0})
        for (double y : {-1.0, 1.0})
            for (double z : {0.0, -spec_.slabHeight})
                board |= QRectF(scene_.At(QPointF(x, y) * spec_.boardHalf, z), QSizeF(1, 1));
    layout_.board = Bounds(board);
    Check();
}

std::array<QPointF, 9> PackBuilder::TraySlots(QPointF centre) const {
    // From the back row to the front one, each from left to right, so that
    // nearer pieces are painted over farther ones and their shadows; a stack
    // of k uses the last k places, filling the front row first.
    std::array<QPointF, 9> places;
    for (int i = 0; i < 9; ++i) {
        const int row = i / 3; // 0 at the back
        const int column = i % 3;
        places[i] =
            centre + QPointF((column - 1) * spec_.traySpacing, (1 - row) * spec_.traySpacing);
    }
    return places;
}

PieceShape PackBuilder::TrayPiece(QPointF slot) const {
    return scene_.Piece(slot, -spec_.slabHeight, spec_.trayPieceRadius,
                        spec_.pieceHeight * spec_.trayPieceRadius / spec_.pieceRadius);
}

void PackBuilder::Check() const {
    std::vector<QRect> areas(layout_.points.begin(), layout_.points.end());
    areas.insert(areas.end(), {layout_.whiteStack, layout_.blackStack, layout_.label1,
                               layout_.label2, layout_.counter1Plate, layout_.counter2Plate});
    const QRect picture(QPoint(0, 0), spec_.picture);
    for (size_t i = 0; i < areas.size(); ++i) {
        if (!picture.contains(areas[i]) || areas[i].right() > 999 || areas[i].bottom() > 999)
            throw std::runtime_error("pack " + spec_.name.toStdString() + ": area " +
                                     std::to_string(i) + " leaves the picture");
        for (size_t j = i + 1; j < areas.size(); ++j)
            if (areas[i].intersects(areas[j]))
                throw std::runtime_error(
                    "pack " + spec_.name.toStdString() + ": areas " + std::to_string(i) + " and " +
                    std::to_string(j) + " overlap by " +
                    std::to_string(areas[i].intersected(areas[j]).width()) + " x " +
                    std::to_string(areas[i].intersected(areas[j]).height()));
    }
    const int room = layout_.counter1Plate.width() - 2 * spec_.platePadding;
    if (room < CounterDigits * spec_.digitSize.width())
        throw std::runtime_error("pack " + spec_.name.toStdString() + ": counter plate too small");
}

QRgb PackBuilder::Surface(const Projection& projection, QPointF pixel) const {
    const double half = spec_.boardHalf;
    const double corner = spec_.boardCorner;
    const QPointF top = projection.Unproject(pixel, 0);
    if (SlabDistance(top, half, corner) <= 0)
        return theme_.BoardTop(top);
    // Down the slab's side: the highest height at which the line of sight
    // is inside the slab is where it meets the wall.
    constexpr int steps = 24;
    for (int step = 1; step <= steps; ++step) {
        const double z = -spec_.slabHeight * step / steps;
        const QPointF wall = projection.Unproject(pixel, z);
        if (SlabDistance(wall, half, corner) <= 0)
            return theme_.BoardSide(wall, z, SlabNormal(wall, half, corner));
    }
    const QPointF floor = projection.Unproject(pixel, -spec_.slabHeight);
    const QPointF shadowShift(0.22, -0.3); // light from the back left
    const double gap = SlabDistance(floor - shadowShift, half, corner);
    const double shade = 1 - 0.5 * std::clamp((0.55 - gap) / 0.7, 0.0, 1.0);
    return Scaled(QColor(theme_.Table(floor)), shade).rgb();
}

QImage PackBuilder::RenderBackground() const {
    constexpr double zoom = 2; // drawn twice as large, then scaled down smoothly
    const Scene fine = MakeScene(spec_, zoom);
    QImage image(fine.size, QImage::Format_RGB32);
    for (int py = 0; py < image.height(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = 0; px < image.width(); ++px)
            line[px] = Surface(fine.projection, QPointF(px + 0.5, py + 0.5)) | 0xFF000000;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(zoom, zoom);
    theme_.PaintBoard(painter, scene_);
    theme_.PaintTray(painter, scene_, spec_.whiteTray);
    theme_.PaintTray(painter, scene_, spec_.blackTray);
    for (const QRect& plate :
         {layout_.label1, layout_.label2, layout_.counter1Plate, layout_.counter2Plate})
        theme_.PaintPlate(painter, plate);
    painter.end();
    return image.scaled(spec_.picture, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QImage PackBuilder::RenderPoint(const QImage& background, int point, const QString& kind) const {
    const QRect& area = layout_.points[point];
    QImage image = Cut(background, area);
    if (kind == "empty")
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-area.topLeft());
    const QPointF where = scene_.points[point];
    if (kind == "glow") {
        theme_.PaintGlow(painter, scene_, where);
    } else {
        const PieceKind piece = kind == "white"   ? PieceKind::White
                                : kind == "black" ? PieceKind::Black
                                                  : PieceKind::Red;
        theme_.PaintPiece(painter, scene_.Piece(where, 0, spec_.pieceRadius, spec_.pieceHeight),
                          piece);
    }
    painter.end();
    return image;
}

QImage PackBuilder::RenderStack(const QImage& background, PieceKind kind, int count) const {
    const bool white = kind == PieceKind::White;
    const QRect& area = white ? layout_.whiteStack : layout_.blackStack;
    QImage image = Cut(background, area);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-area.topLeft());
    const auto places = TraySlots(white ? spec_.whiteTray : spec_.blackTray);
    for (int i = 9 - count; i < 9; ++i)
        theme_.PaintPiece(painter, TrayPiece(places[i]), kind);
    painter.end();
    return image;
}

QImage PackBuilder::RenderLabel(const QImage& background, const QRect& area, LabelKind kind) const {
    QImage image = Cut(background, area);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    theme_.PaintLabel(painter, QRect(QPoint(0, 0), area.size()), kind);
    painter.end();
    return image;
}

QImage PackBuilder::RenderDigit(const QImage& background, int digit) const {
    // The plate is plain across, so a cell cut from its left end fits
    // wherever the counter puts the digit.
    QImage image = Cut(background, QRect(layout_.counter1, spec_.digitSize));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    theme_.PaintDigit(painter, QRect(QPoint(0, 0), spec_.digitSize), digit);
    painter.end();
    return image;
}

std::map<int, QString> PackBuilder::Strings() const {
    std::map<int, QString> strings;
    for (int i = 0; i < 24; ++i) {
        const QRect& r = layout_.points[i];
        strings[i] = QString::number(r.left());
        strings[24 + i] = QString::number(r.top());
        strings[200 + i] = QString::number(r.left());
        strings[224 + i] = QString::number(r.top());
        strings[248 + i] = QString::number(r.right());
        strings[272 + i] = QString::number(r.bottom());
    }
    const std::pair<int, QPoint> positions[] = {{100, layout_.whiteStack.topLeft()},
                                                {102, layout_.blackStack.topLeft()},
                                                {300, layout_.counter1},
                                                {302, layout_.counter2},
                                                {350, layout_.label1.topLeft()},
                                                {352, layout_.label2.topLeft()}};
    for (const auto& [id, at] : positions) {
        strings[id] = QString::number(at.x());
        strings[id + 1] = QString::number(at.y());
    }
    strings[1001] = spec_.soundPrefix;
    return strings;
}

Pack PackBuilder::Build() const {
    Pack pack;
    const QImage background = RenderBackground();
    pack.bitmaps["background"] = background;
    for (int i = 0; i < 24; ++i)
        for (const char* kind : {"empty", "white", "black", "glow", "red"})
            pack.bitmaps[kind + QString::number(i + 1)] = RenderPoint(background, i, kind);
    for (int k = 0; k <= 9; ++k) {
        pack.bitmaps["ersatz_white" + QString::number(k)] =
            RenderStack(background, PieceKind::White, k);
        pack.bitmaps["ersatz_black" + QString::number(k)] =
            RenderStack(background, PieceKind::Black, k);
    }
    pack.bitmaps["beschriftungwhite"] = RenderLabel(background, layout_.label2, LabelKind::White);
    pack.bitmaps["beschriftungscore"] = RenderLabel(background, layout_.label2, LabelKind::Score);
    pack.bitmaps["beschriftungblack"] = RenderLabel(background, layout_.label1, LabelKind::Black);
    pack.bitmaps["beschriftungstage"] = RenderLabel(background, layout_.label1, LabelKind::Stage);
    for (int d = 0; d <= 9; ++d)
        pack.bitmaps["digit" + QString::number(d)] = RenderDigit(background, d);
    pack.strings = Strings();
    return pack;
}
