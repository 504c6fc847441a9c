// Toyland: a chunky yellow plastic board with blue bars and green studs on a
// polka-dot play rug, seen from the left; glossy white and navy pieces,
// toy boxes for the pieces in hand, bubbly many-coloured numerals.

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

#include "tools/packgen/Theme.h"

namespace {

const QColor Navy(34, 44, 120);
const QColor Bar(40, 110, 235);
const QColor Lime(70, 220, 60);

ThemeSpec ToySpec() {
    ThemeSpec spec;
    spec.name = "Toyland";
    spec.soundPrefix = "toy";
    spec.picture = QSize(600, 400);
    spec.camera = Camera{55, 13, 620, -2.4, QPointF(304, 208)};
    spec.boardHalf = 3.72;
    spec.boardCorner = 0.7;
    spec.slabHeight = 0.5;
    spec.pieceRadius = 0.31;
    spec.pieceHeight = 0.16;
    spec.markRadius = 0.41;
    spec.trayPieceRadius = 0.26;
    spec.traySpacing = 0.58;
    spec.whiteTray = QPointF(-5.1, 0.7);
    spec.blackTray = QPointF(5.1, 0.7);
    spec.labelSize = QSize(112, 26);
    spec.digitSize = QSize(20, 28);
    spec.platePadding = 5;
    spec.margin = 10;
    return spec;
}

class ToyTheme : public Theme {
public:
    const ThemeSpec& Spec() const override { return spec_; }

    QRgb Table(QPointF w) const override {
        // Sky-blue rug with rows of coloured dots.
        static const QColor dots[] = {QColor(255, 196, 40), QColor(120, 210, 90),
                                      QColor(255, 140, 200), QColor(255, 255, 255)};
        const double cell = 1.25;
        const double row = std::floor(w.y() / cell);
        const double shift = std::fmod(row, 2.0) == 0 ? 0 : cell / 2;
        const double column = std::floor((w.x() + shift) / cell);
        const QPointF centre((column + 0.5) * cell - shift, (row + 0.5) * cell);
        const double d = std::hypot(w.x() - centre.x(), w.y() - centre.y());
        const int pick = static_cast<int>(std::abs(column * 3 + row * 5)) % 4;
        const double weave = Noise(w.x() * 30, w.y() * 30, 5) * 0.05;
        QColor rug = QColor(118, 196, 240);
        if (d < 0.22)
            rug = dots[pick];
        else if (d < 0.25)
            rug = Mix(dots[pick], rug, (d - 0.22) / 0.03);
        return Scaled(rug, 0.97 + weave).rgb();
    }

    QRgb BoardTop(QPointF w) const override {
        const double shine = std::clamp(0.5 + (w.y() - w.x()) / 14, 0.0, 1.0);
        return Mix(QColor(255, 190, 20), QColor(255, 226, 90), shine).rgb();
    }

    QRgb BoardSide(QPointF, double z, QPointF normal) const override {
        const double light = 0.72 + 0.22 * (-normal.x()) + 0.1 * (z / spec_.slabHeight + 1);
        return Scaled(QColor(250, 150, 20), light).rgb();
    }

    void PaintBoard(QPainter& painter, const Scene& scene) const override {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 90, 0, 80));
        painter.drawPath(scene.Lines(0.2, QPointF(1.2, 2)));
        painter.setBrush(QColor(20, 60, 160));
        painter.drawPath(scene.Lines(0.16, QPointF(0, 1.4)));
        painter.setBrush(Bar);
        painter.drawPath(scene.Lines(0.16));
        painter.setBrush(QColor(140, 190, 255, 150));
        painter.drawPath(scene.Lines(0.05, QPointF(-0.6, -0.8)));
        for (const QPointF& p : scene.points) {
            const PieceShape stud = scene.Piece(p, 0, 0.17, 0.07);
            DrawCylinder(painter, stud,
                         {QColor(170, 255, 150), QColor(40, 170, 40), QColor(110, 220, 90),
                          QColor(20, 110, 20), QColor(200, 255, 190), 0.6});
        }
    }

    void PaintTray(QPainter& painter, const Scene& scene, QPointF centre) const override {
        const double base = -spec_.slabHeight;
        const double half = spec_.traySpacing + spec_.trayPieceRadius + 0.18;
        const bool left = centre.x() < 0;
        const QColor box = left ? QColor(255, 120, 40) : QColor(60, 190, 90);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(20, 60, 100, 70));
        painter.drawPolygon(scene.Flat(centre + QPointF(0.16, -0.2), half, half, 0.35, base));
        painter.setBrush(Scaled(box, 0.7));
        painter.drawPolygon(scene.Flat(centre, half, half, 0.35, base));
        painter.setBrush(box);
        painter.drawPolygon(scene.Flat(centre, half, half, 0.35, base + 0.14));
        painter.setBrush(Scaled(box, 0.55));
        painter.drawPolygon(scene.Flat(centre, half - 0.12, half - 0.12, 0.26, base + 0.14));
        painter.setBrush(Scaled(box, 0.82));
        painter.drawPolygon(scene.Flat(centre, half - 0.14, half - 0.18, 0.24, base));
    }

    void PaintPlate(QPainter& painter, const QRect& plate) const override {
        const QRectF badge = QRectF(plate).adjusted(1.5, 1.5, -1.5, -1.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(20, 60, 100, 70));
        painter.drawRoundedRect(badge.translated(1.5, 2), 9, 9);
        painter.setPen(QPen(Bar, 3));
        painter.setBrush(QColor(255, 255, 255));
        painter.drawRoundedRect(badge, 9, 9);
    }

    void PaintPiece(QPainter& painter, const PieceShape& shape, PieceKind kind) const override {
        if (kind == PieceKind::Red)
            DrawHalo(painter, shape.base, shape.rx * 1.32, shape.ry * 1.32,
                     QColor(255, 30, 30, 240));
        DrawCylinder(painter, shape, Look(kind));
        painter.save();
        painter.setPen(Qt::NoPen);
        QColor bump = kind == PieceKind::White   ? QColor(255, 255, 255)
                      : kind == PieceKind::Black ? QColor(90, 100, 190)
                                                 : QColor(255, 150, 140);
        QRadialGradient dome(shape.top - QPointF(shape.rx * 0.15, shape.ry * 0.2), shape.rx * 0.5);
        dome.setColorAt(0, bump);
        dome.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setBrush(dome);
        painter.drawEllipse(TopFace(shape, 0.5));
        painter.restore();
    }

    void PaintGlow(QPainter& painter, const Scene& scene, QPointF point) const override {
        const QPointF centre = scene.At(point, 0);
        const QPointF outer = scene.Radii(point, 0, spec_.markRadius);
        const QPointF ring = scene.Radii(point, 0, 0.29);
        DrawHalo(painter, centre, outer.x(), outer.y(), QColor(255, 255, 255, 230));
        painter.setBrush(QColor(70, 220, 60, 160));
        painter.setPen(QPen(QColor(20, 120, 20), 3.2));
        painter.drawEllipse(centre, ring.x(), ring.y());
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(210, 255, 190), 1.4));
        painter.drawEllipse(centre, ring.x() - 1.6, ring.y() - 1.6);
        // A little sparkle.
        painter.setPen(QPen(QColor(255, 255, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
        const double s = ring.y() * 0.8;
        painter.drawLine(centre - QPointF(s, 0), centre + QPointF(s, 0));
        painter.drawLine(centre - QPointF(0, s * 0.8), centre + QPointF(0, s * 0.8));
    }

    void PaintLabel(QPainter& painter, const QRect& area, LabelKind kind) const override {
        static const char* const words[] = {"White", "Black", "Score", "Stage"};
        QFont font("DejaVu Sans", 12, QFont::Black);
        painter.setFont(font);
        QRect text = area.adjusted(8, 0, -8, 0);
        if (kind == LabelKind::White || kind == LabelKind::Black) {
            const double r = area.height() * 0.26;
            const PieceShape icon{QPointF(area.left() + 17, area.center().y() + r * 0.45),
                                  QPointF(area.left() + 17, area.center().y() - r * 0.2), r * 1.15,
                                  r * 0.75};
            PaintPiece(painter, icon,
                       kind == LabelKind::White ? PieceKind::White : PieceKind::Black);
            text.setLeft(area.left() + 30);
        }
        const QColor colour = kind == LabelKind::Score   ? QColor(240, 110, 20)
                              : kind == LabelKind::Stage ? QColor(30, 150, 50)
                                                         : Navy;
        painter.setPen(colour);
        painter.drawText(text, Qt::AlignCenter, words[static_cast<int>(kind)]);
    }

    void PaintDigit(QPainter& painter, const QRect& cell, int digit) const override {
        static const QColor colours[] = {
            QColor(240, 60, 120), QColor(40, 110, 235), QColor(30, 160, 60), QColor(250, 140, 10),
            QColor(140, 60, 210), QColor(0, 160, 190),  QColor(230, 90, 30), QColor(60, 90, 220),
            QColor(200, 50, 170), QColor(40, 150, 110)};
        QFont font("DejaVu Sans", 18, QFont::Black);
        font.setPixelSize(cell.height() - 3);
        QPainterPath glyph;
        glyph.addText(0, 0, font, QString::number(digit));
        const QRectF bounds = glyph.boundingRect();
        glyph.translate(QRectF(cell).center() - bounds.center());
        painter.setPen(QPen(Scaled(colours[digit], 0.6), 1.6));
        painter.setBrush(colours[digit]);
        painter.drawPath(glyph);
    }

private:
    static PieceLook Look(PieceKind kind) {
        switch (kind) {
        case PieceKind::White:
            return {QColor(255, 255, 255), QColor(214, 222, 236), QColor(250, 250, 255),
                    QColor(150, 160, 190), QColor(255, 255, 255), 0.8};
        case PieceKind::Black:
            return {QColor(74, 84, 170), QColor(24, 26, 70),    QColor(60, 70, 150),
                    QColor(14, 16, 46),  QColor(110, 120, 210), 0.75};
        case PieceKind::Red:
            break;
        }
        return {QColor(255, 110, 100), QColor(200, 10, 20),   QColor(250, 60, 60),
                QColor(120, 0, 10),    QColor(255, 160, 150), 0.8};
    }

    ThemeSpec spec_ = ToySpec();
};

} // namespace

std::unique_ptr<Theme> MakeToyTheme() {
    return std::make_unique<ToyTheme>();
}
