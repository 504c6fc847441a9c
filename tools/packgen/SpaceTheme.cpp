// Space Station: a gunmetal console on a riveted deck, seen low and close;
// glowing cyan lines, silver pieces with cyan lights and dark pieces with
// orange lights, docking bays for the pieces in hand, seven-segment counters.

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

#include "tools/packgen/Theme.h"

namespace {

const QColor Cyan(70, 230, 255);
const QColor Amber(255, 150, 40);
const QColor Go(120, 255, 110);

ThemeSpec SpaceSpec() {
    ThemeSpec spec;
    spec.name = "Space Station";
    spec.soundPrefix = "space";
    spec.picture = QSize(600, 400);
    spec.camera = Camera{50, 10.5, 470, 0, QPointF(300, 222)};
    spec.boardHalf = 3.66;
    spec.boardCorner = 0.5;
    spec.slabHeight = 0.34;
    spec.pieceRadius = 0.3;
    spec.pieceHeight = 0.14;
    spec.markRadius = 0.4;
    spec.trayPieceRadius = 0.25;
    spec.traySpacing = 0.56;
    spec.whiteTray = QPointF(-4.85, 0.9);
    spec.blackTray = QPointF(4.85, 0.9);
    spec.labelSize = QSize(112, 22);
    spec.digitSize = QSize(18, 30);
    spec.platePadding = 5;
    spec.margin = 10;
    return spec;
}

double Brushed(QPointF w, uint32_t seed) {
    return Fractal(w.x() * 1.5, w.y() * 60, seed, 3);
}

class SpaceTheme : public Theme {
public:
    const ThemeSpec& Spec() const override { return spec_; }

    QRgb Table(QPointF w) const override {
        // Deck plates of 1.8 units with dark seams and a rivet in each corner.
        const double size = 1.8;
        const double u = w.x() / size - std::floor(w.x() / size);
        const double v = w.y() / size - std::floor(w.y() / size);
        const int plate = static_cast<int>(std::floor(w.x() / size)) * 7 +
                          static_cast<int>(std::floor(w.y() / size)) * 13;
        const double tone = 0.9 + 0.12 * Noise(plate * 0.37, 0.5, 41);
        QColor metal = Scaled(Mix(QColor(44, 52, 66), QColor(30, 36, 48), Brushed(w, 9)), tone);
        const double seam = std::min({u, v, 1 - u, 1 - v});
        if (seam < 0.018)
            metal = QColor(12, 15, 20);
        else if (seam < 0.04)
            metal = Scaled(metal, u < 0.04 || v > 0.96 ? 1.35 : 0.75);
        for (double cu : {0.09, 0.91})
            for (double cv : {0.09, 0.91}) {
                const double d = std::hypot(u - cu, v - cv);
                if (d < 0.035)
                    metal = Mix(QColor(130, 140, 156), QColor(50, 56, 68), (d / 0.035 + u - cu));
            }
        const double fade = std::clamp(1.1 - std::hypot(w.x() / 9, (w.y() - 1) / 6.5), 0.35, 1.0);
        return Scaled(metal, fade).rgb();
    }

    QRgb BoardTop(QPointF w) const override {
        const double edge = std::max(std::abs(w.x()), std::abs(w.y()));
        const QColor base = Mix(QColor(40, 46, 60), QColor(24, 28, 38), Brushed(w, 17));
        const double hex = std::abs(std::sin(w.x() * 7.5) * std::sin(w.y() * 7.5 + w.x() * 3.7));
        QColor top = Scaled(base, 0.94 + 0.08 * hex);
        if (edge > 3.38 && edge < 3.44)
            top = Mix(Cyan, QColor(255, 255, 255), 0.2);
        else if (edge > 3.3 && edge < 3.52)
            top = Mix(top, Cyan, 0.35 * (1 - std::abs(edge - 3.41) / 0.11));
        return top.rgb();
    }

    QRgb BoardSide(QPointF w, double z, QPointF normal) const override {
        const double light = 0.7 + 0.2 * (-normal.x()) + 0.25 * (z / spec_.slabHeight + 1);
        QColor side = Scaled(QColor(58, 66, 82), light);
        const double band = z / -spec_.slabHeight;
        if (band > 0.45 && band < 0.6) // a running light along the console's side
            side = Mix(Amber, QColor(255, 220, 160), 0.5 + 0.5 * std::sin((w.x() + w.y()) * 5));
        return side.rgb();
    }

    void PaintBoard(QPainter& painter, const Scene& scene) const override {
        painter.setPen(Qt::NoPen);
        for (const auto& [width, alpha] : {std::pair{0.3, 26}, {0.18, 50}, {0.1, 110}}) {
            QColor halo = Cyan;
            halo.setAlpha(alpha);
            painter.setBrush(halo);
            painter.drawPath(scene.Lines(width));
        }
        painter.setBrush(QColor(200, 250, 255));
        painter.drawPath(scene.Lines(0.04));
        for (const QPointF& p : scene.points) {
            const QPointF centre = scene.At(p, 0);
            const QPointF socket = scene.Radii(p, 0, 0.16);
            const QPointF core = scene.Radii(p, 0, 0.1);
            painter.setPen(QPen(Cyan, 1.4));
            painter.setBrush(QColor(10, 14, 20));
            painter.drawEllipse(centre, socket.x(), socket.y());
            painter.setPen(Qt::NoPen);
            QRadialGradient well(centre - QPointF(0, core.y() * 0.4), core.x());
            well.setColorAt(0, QColor(30, 60, 80));
            well.setColorAt(1, QColor(8, 12, 18));
            painter.setBrush(well);
            painter.drawEllipse(centre, core.x(), core.y());
        }
    }

    void PaintTray(QPainter& painter, const Scene& scene, QPointF centre) const override {
        const double base = -spec_.slabHeight;
        const double half = spec_.traySpacing + spec_.trayPieceRadius + 0.17;
        painter.setPen(Qt::NoPen);
        const QPolygonF outer = scene.Flat(centre, half, half, 0.25, base);
        painter.setBrush(QColor(14, 16, 22));
        painter.drawPolygon(outer);
        // Hazard stripes around the bay, clipped to its rim.
        painter.save();
        QPainterPath rim;
        rim.addPolygon(outer);
        QPainterPath hole;
        hole.addPolygon(scene.Flat(centre, half - 0.1, half - 0.1, 0.18, base));
        painter.setClipPath(rim.subtracted(hole));
        const QRectF box = outer.boundingRect();
        painter.setBrush(QColor(230, 170, 30));
        painter.drawRect(box);
        painter.setBrush(QColor(20, 20, 24));
        for (double x = box.left() - box.height(); x < box.right(); x += 12) {
            painter.drawPolygon(QPolygonF({QPointF(x, box.bottom()), QPointF(x + 6, box.bottom()),
                                           QPointF(x + 6 + box.height(), box.top()),
                                           QPointF(x + box.height(), box.top())}));
        }
        painter.restore();
        const QPolygonF floor = scene.Flat(centre, half - 0.12, half - 0.12, 0.16, base);
        QLinearGradient light(floor.boundingRect().topLeft(), floor.boundingRect().bottomLeft());
        light.setColorAt(0, QColor(16, 30, 40));
        light.setColorAt(1, QColor(26, 56, 70));
        painter.setBrush(light);
        painter.drawPolygon(floor);
    }

    void PaintPlate(QPainter& painter, const QRect& plate) const override {
        const QRectF glass = QRectF(plate).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(QColor(70, 230, 255, 200), 1));
        painter.setBrush(QColor(6, 10, 16));
        painter.drawRect(glass);
        painter.setPen(QPen(QColor(70, 230, 255, 90), 1));
        painter.drawLine(QPointF(glass.left() + 3, glass.top() + 2.5),
                         QPointF(glass.left() + 16, glass.top() + 2.5));
    }

    void PaintPiece(QPainter& painter, const PieceShape& shape, PieceKind kind) const override {
        if (kind == PieceKind::Red)
            DrawHalo(painter, shape.base, shape.rx * 1.33, shape.ry * 1.33,
                     QColor(255, 40, 30, 240));
        DrawCylinder(painter, shape, Look(kind));
        const QColor light = kind == PieceKind::White   ? Cyan
                             : kind == PieceKind::Black ? Amber
                                                        : QColor(255, 210, 190);
        painter.save();
        QColor halo = light;
        halo.setAlpha(120);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(halo, std::max(2.0, shape.rx * 0.22)));
        painter.drawEllipse(TopFace(shape, 0.6));
        painter.setPen(
            QPen(Mix(light, QColor(255, 255, 255), 0.45), std::max(0.9, shape.rx * 0.08)));
        painter.drawEllipse(TopFace(shape, 0.6));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Mix(light, QColor(255, 255, 255), 0.3));
        painter.drawEllipse(TopFace(shape, 0.16));
        painter.restore();
    }

    void PaintGlow(QPainter& painter, const Scene& scene, QPointF point) const override {
        const QPointF centre = scene.At(point, 0);
        const QPointF outer = scene.Radii(point, 0, spec_.markRadius);
        const QPointF ring = scene.Radii(point, 0, 0.27);
        DrawHalo(painter, centre, outer.x(), outer.y(), QColor(120, 255, 110, 230));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(220, 255, 210), 2));
        painter.drawEllipse(centre, ring.x(), ring.y());
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(235, 255, 230));
        const QPointF dot = scene.Radii(point, 0, 0.09);
        painter.drawEllipse(centre, dot.x(), dot.y());
    }

    void PaintLabel(QPainter& painter, const QRect& area, LabelKind kind) const override {
        static const char* const words[] = {"WHITE", "BLACK", "SCORE", "STAGE"};
        QFont font("DejaVu Sans Mono", 10, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        painter.setFont(font);
        QRect text = area.adjusted(6, 0, -6, 0);
        const QColor colour = kind == LabelKind::Black ? Amber : Cyan;
        if (kind == LabelKind::White || kind == LabelKind::Black) {
            const double r = area.height() * 0.24;
            const PieceShape icon{QPointF(area.left() + 14, area.center().y() + r * 0.4),
                                  QPointF(area.left() + 14, area.center().y() - r * 0.15), r * 1.1,
                                  r * 0.75};
            PaintPiece(painter, icon,
                       kind == LabelKind::White ? PieceKind::White : PieceKind::Black);
            text.setLeft(area.left() + 26);
        }
        painter.setPen(colour);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, words[static_cast<int>(kind)]);
    }

    void PaintDigit(QPainter& painter, const QRect& cell, int digit) const override {
        // Segments a..g: top, upper right, lower right, bottom, lower left,
        // upper left, middle; each a long hexagon.
        static const int lit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
        const QRectF box = QRectF(cell).adjusted(3, 2.5, -2.5, -2.5);
        const double t = 3.2;
        const double gap = 0.7;
        const double w = box.width();
        const double h = box.height() / 2;
        auto across = [&](double y) {
            const double x0 = t / 2 + gap;
            const double x1 = w - t / 2 - gap;
            return QPolygonF({{x0, y},
                              {x0 + t / 2, y - t / 2},
                              {x1 - t / 2, y - t / 2},
                              {x1, y},
                              {x1 - t / 2, y + t / 2},
                              {x0 + t / 2, y + t / 2}});
        };
        auto down = [&](double x, double y0, double y1) {
            return QPolygonF({{x, y0},
                              {x + t / 2, y0 + t / 2},
                              {x + t / 2, y1 - t / 2},
                              {x, y1},
                              {x - t / 2, y1 - t / 2},
                              {x - t / 2, y0 + t / 2}});
        };
        const QPolygonF segments[7] = {across(t / 2),
                                       down(w - t / 2, t / 2 + gap, h - gap),
                                       down(w - t / 2, h + gap, 2 * h - t / 2 - gap),
                                       across(2 * h - t / 2),
                                       down(t / 2, h + gap, 2 * h - t / 2 - gap),
                                       down(t / 2, t / 2 + gap, h - gap),
                                       across(h)};
        painter.save();
        painter.translate(box.topLeft());
        painter.setTransform(QTransform(1, 0, -0.08, 1, h * 0.08, 0), true); // a slight slant
        for (int s = 0; s < 7; ++s) {
            const bool on = (lit[digit] >> s) & 1;
            painter.setPen(on ? QPen(QColor(70, 230, 255, 110), 2.2) : Qt::NoPen);
            painter.setBrush(on ? QColor(190, 248, 255) : QColor(30, 60, 76, 110));
            painter.drawPolygon(segments[s]);
        }
        painter.restore();
    }

private:
    static PieceLook Look(PieceKind kind) {
        switch (kind) {
        case PieceKind::White:
            return {QColor(240, 246, 250), QColor(150, 162, 176), QColor(214, 222, 230),
                    QColor(90, 100, 114),  QColor(250, 255, 255), 0.45};
        case PieceKind::Black:
            return {QColor(92, 98, 110), QColor(26, 28, 34),    QColor(76, 82, 94),
                    QColor(16, 18, 22),  QColor(120, 128, 140), 0.3};
        case PieceKind::Red:
            break;
        }
        return {QColor(255, 110, 96), QColor(176, 16, 16),   QColor(236, 60, 50),
                QColor(100, 8, 8),    QColor(255, 170, 150), 0.45};
    }

    ThemeSpec spec_ = SpaceSpec();
};

} // namespace

std::unique_ptr<Theme> MakeSpaceTheme() {
    return std::make_unique<SpaceTheme>();
}
