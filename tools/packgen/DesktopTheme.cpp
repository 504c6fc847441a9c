// Desktop: a thin white board on a dark felt desk mat, seen almost from
// above; matte white and charcoal pieces, a blue accent for the lit points,
// white cards for the counters.

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

#include "tools/packgen/Theme.h"

namespace {

const QColor Slate(64, 74, 90);
const QColor Accent(36, 128, 255);

ThemeSpec DesktopSpec() {
    ThemeSpec spec;
    spec.name = "Desktop";
    spec.soundPrefix = "desktop";
    spec.picture = QSize(600, 400);
    spec.camera = Camera{66, 22, 960, 0, QPointF(300, 220)};
    spec.boardHalf = 3.62;
    spec.boardCorner = 0.34;
    spec.slabHeight = 0.16;
    spec.pieceRadius = 0.33;
    spec.pieceHeight = 0.1;
    spec.markRadius = 0.43;
    spec.trayPieceRadius = 0.27;
    spec.traySpacing = 0.6;
    spec.whiteTray = QPointF(-5.05, -0.1);
    spec.blackTray = QPointF(5.05, -0.1);
    spec.labelSize = QSize(112, 24);
    spec.digitSize = QSize(18, 26);
    spec.platePadding = 6;
    spec.margin = 12;
    return spec;
}

// Signed distance from a rounded rectangle centred on the origin.
double RoundedDistance(QPointF p, double halfWidth, double halfHeight, double corner) {
    const double qx = std::abs(p.x()) - halfWidth + corner;
    const double qy = std::abs(p.y()) - halfHeight + corner;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
           corner;
}

class DesktopTheme : public Theme {
public:
    const ThemeSpec& Spec() const override { return spec_; }

    QRgb Table(QPointF w) const override {
        const double mat = RoundedDistance(w - QPointF(0, 0.25), 6.25, 4.35, 0.5);
        const double fine = Noise(w.x() * 40, w.y() * 40, 3) - 0.5;
        if (mat < 0) {
            // Felt, a little lighter towards the middle, with a stitched edge.
            const double centre = std::clamp(1 + mat / 3, 0.0, 1.0);
            QColor felt = Mix(QColor(70, 76, 86), QColor(56, 61, 70), centre);
            felt = Scaled(felt, 1 + fine * 0.08);
            if (mat > -0.16 && mat < -0.12 && std::fmod(std::abs(w.x() + w.y()) * 6, 1.0) < 0.6)
                felt = QColor(120, 126, 136);
            return felt.rgb();
        }
        const double fall = std::clamp(mat / 0.25, 0.0, 1.0);
        const QColor desk = Mix(QColor(236, 237, 239), QColor(220, 222, 226), (w.y() + 6) / 14);
        return Scaled(Mix(QColor(150, 152, 156), desk, fall), 1 + fine * 0.02).rgb();
    }

    QRgb BoardTop(QPointF w) const override {
        const double edge = RoundedDistance(w, spec_.boardHalf, spec_.boardHalf, spec_.boardCorner);
        const double rim = std::clamp(-edge / 0.06, 0.0, 1.0);
        const QColor paper = Mix(QColor(252, 252, 253), QColor(238, 240, 244), (3.6 - w.y()) / 7.2);
        return Mix(QColor(214, 218, 224), paper, rim).rgb();
    }

    QRgb BoardSide(QPointF, double z, QPointF normal) const override {
        const double light = 0.78 + 0.12 * (-normal.x()) + 0.18 * (z / spec_.slabHeight + 1);
        return Scaled(QColor(206, 210, 218), light).rgb();
    }

    void PaintBoard(QPainter& painter, const Scene& scene) const override {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Slate);
        painter.drawPath(scene.Lines(0.05));
        for (const QPointF& p : scene.points) {
            const QPointF centre = scene.At(p, 0);
            const QPointF outer = scene.Radii(p, 0, 0.13);
            const QPointF inner = scene.Radii(p, 0, 0.075);
            painter.setBrush(QColor(252, 252, 253));
            painter.setPen(QPen(Slate, 1.3));
            painter.drawEllipse(centre, outer.x(), outer.y());
            painter.setPen(Qt::NoPen);
            painter.setBrush(Slate);
            painter.drawEllipse(centre, inner.x(), inner.y());
        }
    }

    void PaintTray(QPainter& painter, const Scene& scene, QPointF centre) const override {
        const double base = -spec_.slabHeight;
        const double half = spec_.traySpacing + spec_.trayPieceRadius + 0.14;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 60));
        painter.drawPolygon(scene.Flat(centre + QPointF(0.08, -0.12), half, half, 0.3, base));
        painter.setBrush(QColor(178, 184, 194));
        painter.drawPolygon(scene.Flat(centre, half, half, 0.3, base));
        painter.setBrush(QColor(226, 230, 236));
        painter.drawPolygon(scene.Flat(centre, half, half, 0.3, base + 0.08));
        const QPolygonF well = scene.Flat(centre, half - 0.1, half - 0.1, 0.22, base + 0.08);
        QLinearGradient shade(well.boundingRect().topLeft(), well.boundingRect().bottomLeft());
        shade.setColorAt(0, QColor(170, 176, 186));
        shade.setColorAt(0.3, QColor(200, 205, 213));
        shade.setColorAt(1, QColor(208, 212, 220));
        painter.setBrush(shade);
        painter.drawPolygon(well);
    }

    void PaintPlate(QPainter& painter, const QRect& plate) const override {
        const QRectF card = QRectF(plate).adjusted(1, 1, -2, -2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 40));
        painter.drawRoundedRect(card.translated(1, 1.5), 6, 6);
        painter.setBrush(QColor(255, 255, 255));
        painter.drawRoundedRect(card, 6, 6);
    }

    void PaintPiece(QPainter& painter, const PieceShape& shape, PieceKind kind) const override {
        if (kind == PieceKind::Red)
            DrawHalo(painter, shape.base, shape.rx * 1.3, shape.ry * 1.3, QColor(255, 60, 50, 200));
        DrawCylinder(painter, shape, Look(kind));
        painter.save();
        painter.setBrush(Qt::NoBrush);
        QRadialGradient dish(shape.top + QPointF(shape.rx * 0.1, shape.ry * 0.15), shape.rx * 0.6);
        const QColor dip =
            kind == PieceKind::White ? QColor(120, 130, 150, 60) : QColor(0, 0, 0, 70);
        dish.setColorAt(0, QColor(0, 0, 0, 0));
        dish.setColorAt(0.8, QColor(0, 0, 0, 0));
        dish.setColorAt(1, dip);
        painter.setPen(Qt::NoPen);
        painter.setBrush(dish);
        painter.drawEllipse(TopFace(shape, 0.6));
        painter.restore();
    }

    void PaintGlow(QPainter& painter, const Scene& scene, QPointF point) const override {
        const QPointF centre = scene.At(point, 0);
        const QPointF outer = scene.Radii(point, 0, spec_.markRadius);
        const QPointF ring = scene.Radii(point, 0, 0.3);
        DrawHalo(painter, centre, outer.x(), outer.y(), QColor(60, 150, 255, 150));
        painter.setBrush(QColor(36, 128, 255, 70));
        painter.setPen(QPen(Accent, 3));
        painter.drawEllipse(centre, ring.x(), ring.y());
        painter.setPen(Qt::NoPen);
        painter.setBrush(Accent);
        const QPointF dot = scene.Radii(point, 0, 0.1);
        painter.drawEllipse(centre, dot.x(), dot.y());
    }

    void PaintLabel(QPainter& painter, const QRect& area, LabelKind kind) const override {
        static const char* const words[] = {"WHITE", "BLACK", "SCORE", "STAGE"};
        QFont font("DejaVu Sans", 10, QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
        painter.setFont(font);
        QRect text = area.adjusted(10, 0, -8, 0);
        if (kind == LabelKind::White || kind == LabelKind::Black) {
            const double r = area.height() * 0.26;
            const PieceShape icon{QPointF(area.left() + 15, area.center().y() + r * 0.35),
                                  QPointF(area.left() + 15, area.center().y() - r * 0.1), r,
                                  r * 0.8};
            PaintPiece(painter, icon,
                       kind == LabelKind::White ? PieceKind::White : PieceKind::Black);
            text.setLeft(area.left() + 28);
        }
        painter.setPen(Slate);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, words[static_cast<int>(kind)]);
    }

    void PaintDigit(QPainter& painter, const QRect& cell, int digit) const override {
        QFont font("DejaVu Sans", 16, QFont::Bold);
        font.setPixelSize(cell.height() - 4);
        painter.setFont(font);
        painter.setPen(QColor(40, 48, 62));
        painter.drawText(cell, Qt::AlignCenter, QString::number(digit));
    }

private:
    static PieceLook Look(PieceKind kind) {
        switch (kind) {
        case PieceKind::White:
            return {QColor(255, 255, 255), QColor(222, 226, 232), QColor(246, 247, 250),
                    QColor(160, 168, 180), QColor(200, 205, 214), 0.15};
        case PieceKind::Black:
            return {QColor(86, 92, 104), QColor(36, 40, 48),    QColor(72, 78, 90),
                    QColor(20, 22, 28),  QColor(100, 108, 122), 0.15};
        case PieceKind::Red:
            break;
        }
        return {QColor(255, 120, 110), QColor(214, 40, 40),   QColor(240, 80, 72),
                QColor(130, 16, 16),   QColor(255, 150, 140), 0.25};
    }

    ThemeSpec spec_ = DesktopSpec();
};

} // namespace

std::unique_ptr<Theme> MakeDesktopTheme() {
    return std::make_unique<DesktopTheme>();
}
