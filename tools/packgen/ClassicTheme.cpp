// Classic: a board of warm oak in a mahogany frame on a walnut table, brass
// studs, ivory and ebony pieces, trays lined with green felt, brass-framed
// counters with brass numerals.

#include <QFont>
#include <QLinearGradient>
#include <cmath>
#include <numbers>

#include "tools/packgen/Theme.h"

namespace {

const QColor Brass(222, 182, 96);
const QColor BrassDark(128, 88, 34);

ThemeSpec ClassicSpec() {
    ThemeSpec spec;
    spec.name = "Classic";
    spec.soundPrefix = "classic";
    spec.picture = QSize(600, 400);
    spec.camera = Camera{52, 14, 670, 0, QPointF(300, 216)};
    spec.boardHalf = 3.7;
    spec.boardCorner = 0.12;
    spec.slabHeight = 0.38;
    spec.pieceRadius = 0.31;
    spec.pieceHeight = 0.13;
    spec.markRadius = 0.41;
    spec.trayPieceRadius = 0.26;
    spec.traySpacing = 0.58;
    spec.whiteTray = QPointF(-5.0, 0.9);
    spec.blackTray = QPointF(5.0, 0.9);
    spec.labelSize = QSize(112, 24);
    spec.digitSize = QSize(19, 28);
    spec.platePadding = 6;
    spec.margin = 12;
    return spec;
}

double Grain(double along, double across, uint32_t seed, double rings) {
    const double warp = Fractal(along * 0.25, across * 2.2, seed, 4) * 5;
    return 0.5 + 0.5 * std::sin((across * rings + warp) * std::numbers::pi);
}

QColor Wood(const QColor& light, const QColor& dark, double along, double across, uint32_t seed,
            double rings) {
    const double grain = Grain(along, across, seed, rings);
    const double fleck = Fractal(along * 3, across * 30, seed + 7, 3);
    return Mix(light, dark, std::pow(grain, 3) * 0.55 + fleck * 0.35);
}

class ClassicTheme : public Theme {
public:
    const ThemeSpec& Spec() const override { return spec_; }

    QRgb Table(QPointF w) const override {
        const int plank = static_cast<int>(std::floor(w.y() / 1.6));
        const double inPlank = w.y() / 1.6 - plank;
        QColor wood = Wood(QColor(112, 68, 38), QColor(58, 32, 17), w.x() + plank * 3.1,
                           w.y() * 0.8, 11 + plank, 3.2);
        if (inPlank < 0.015 || inPlank > 0.985)
            wood = Scaled(wood, 0.55);
        const double vignette = 1 - 0.05 * std::hypot(w.x() / 1.6, w.y() / 1.4);
        return Scaled(wood, std::max(vignette, 0.45)).rgb();
    }

    QRgb BoardTop(QPointF w) const override {
        const double edge = std::max(std::abs(w.x()), std::abs(w.y()));
        if (edge > 3.48) {
            const double ring = edge > 3.52 ? 0 : 1;
            const QColor frame = Wood(QColor(140, 62, 34), QColor(82, 32, 16), w.x() + w.y(),
                                      w.x() - w.y(), 23, 2.5);
            return ring > 0 ? Brass.rgb() : frame.rgb();
        }
        return Wood(QColor(222, 176, 116), QColor(176, 124, 70), w.y(), w.x(), 5, 1.7).rgb();
    }

    QRgb BoardSide(QPointF w, double z, QPointF normal) const override {
        const double light = 0.62 + 0.25 * (-normal.x() * 0.6 + normal.y() * 0.3) +
                             0.25 * (z / spec_.slabHeight + 1);
        const QColor frame =
            Wood(QColor(128, 56, 30), QColor(70, 28, 14), w.x() + w.y(), z * 6, 29, 1.5);
        return Scaled(frame, light).rgb();
    }

    void PaintBoard(QPainter& painter, const Scene& scene) const override {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 232, 190, 110));
        painter.drawPath(scene.Lines(0.075, QPointF(0, 0.8)));
        painter.setBrush(QColor(74, 40, 18, 235));
        painter.drawPath(scene.Lines(0.075));
        for (const QPointF& p : scene.points) {
            const QPointF centre = scene.At(p, 0);
            const QPointF r = scene.Radii(p, 0, 0.12);
            DrawSoftShadow(painter, centre + QPointF(r.x() * 0.3, r.y() * 0.5), r.x() * 1.5,
                           r.y() * 1.5, 110);
            QRadialGradient stud(centre - QPointF(r.x() * 0.35, r.y() * 0.45), r.x() * 1.3);
            stud.setColorAt(0, QColor(255, 236, 170));
            stud.setColorAt(0.6, Brass);
            stud.setColorAt(1, BrassDark);
            painter.setBrush(stud);
            painter.setPen(QPen(QColor(90, 58, 20), 0.7));
            painter.drawEllipse(centre, r.x(), r.y());
        }
    }

    void PaintTray(QPainter& painter, const Scene& scene, QPointF centre) const override {
        const double base = -spec_.slabHeight;
        const double half = spec_.traySpacing + spec_.trayPieceRadius + 0.16;
        painter.setPen(Qt::NoPen);
        const QPolygonF footprint =
            scene.Flat(centre + QPointF(0.14, -0.16), half, half, 0.2, base);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawPolygon(footprint);
        painter.setBrush(QColor(70, 28, 14));
        painter.drawPolygon(scene.Flat(centre, half, half, 0.2, base));
        const QPolygonF rim = scene.Flat(centre, half, half, 0.2, base + 0.1);
        QLinearGradient wood(rim.boundingRect().topLeft(), rim.boundingRect().bottomRight());
        wood.setColorAt(0, QColor(160, 76, 40));
        wood.setColorAt(1, QColor(100, 40, 20));
        painter.setBrush(wood);
        painter.drawPolygon(rim);
        painter.setBrush(QColor(24, 44, 28));
        painter.drawPolygon(scene.Flat(centre, half - 0.1, half - 0.1, 0.12, base + 0.1));
        const QPolygonF felt = scene.Flat(centre, half - 0.12, half - 0.14, 0.1, base);
        QLinearGradient cloth(felt.boundingRect().topLeft(), felt.boundingRect().bottomLeft());
        cloth.setColorAt(0, QColor(28, 70, 42));
        cloth.setColorAt(1, QColor(44, 100, 60));
        painter.setBrush(cloth);
        painter.drawPolygon(felt);
    }

    void PaintPlate(QPainter& painter, const QRect& plate) const override {
        const QRectF outer = QRectF(plate).adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient frame(outer.topLeft(), outer.bottomLeft());
        frame.setColorAt(0, QColor(250, 222, 150));
        frame.setColorAt(0.5, Brass);
        frame.setColorAt(1, BrassDark);
        painter.setPen(QPen(QColor(50, 30, 10), 1));
        painter.setBrush(frame);
        painter.drawRoundedRect(outer, 4, 4);
        QLinearGradient lacquer(0, plate.top() + 3, 0, plate.bottom() - 3);
        lacquer.setColorAt(0, QColor(20, 12, 8));
        lacquer.setColorAt(1, QColor(52, 30, 18));
        painter.setPen(Qt::NoPen);
        painter.setBrush(lacquer);
        painter.drawRect(QRectF(plate).adjusted(3, 3, -3, -3));
    }

    void PaintPiece(QPainter& painter, const PieceShape& shape, PieceKind kind) const override {
        if (kind == PieceKind::Red)
            DrawHalo(painter, shape.base, shape.rx * 1.36, shape.ry * 1.36,
                     QColor(255, 40, 20, 230));
        DrawCylinder(painter, shape, Look(kind));
        painter.save();
        painter.setBrush(Qt::NoBrush);
        if (kind == PieceKind::White) {
            painter.setPen(QPen(QColor(170, 140, 96, 150), std::max(0.8, shape.rx * 0.06)));
            painter.drawEllipse(TopFace(shape, 0.66));
            painter.drawEllipse(TopFace(shape, 0.34));
        } else {
            painter.setPen(QPen(kind == PieceKind::Red ? QColor(255, 214, 130) : Brass,
                                std::max(0.9, shape.rx * 0.08)));
            painter.drawEllipse(TopFace(shape, 0.62));
        }
        painter.restore();
    }

    void PaintGlow(QPainter& painter, const Scene& scene, QPointF point) const override {
        const QPointF centre = scene.At(point, 0);
        const QPointF outer = scene.Radii(point, 0, spec_.markRadius);
        const QPointF ring = scene.Radii(point, 0, 0.3);
        DrawHalo(painter, centre, outer.x(), outer.y(), QColor(110, 255, 90, 255));
        painter.setBrush(QColor(160, 255, 140, 120));
        painter.setPen(QPen(QColor(10, 80, 10, 230), 3.4));
        painter.drawEllipse(centre, ring.x(), ring.y());
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(220, 255, 210), 1.8));
        painter.drawEllipse(centre, ring.x(), ring.y());
    }

    void PaintLabel(QPainter& painter, const QRect& area, LabelKind kind) const override {
        static const char* const words[] = {"White", "Black", "Score", "Stage"};
        QFont font("DejaVu Serif", 11, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        painter.setFont(font);
        QRect text = area.adjusted(4, 0, -4, 0);
        if (kind == LabelKind::White || kind == LabelKind::Black) {
            const double h = area.height() * 0.3;
            const PieceShape icon{QPointF(area.left() + 16, area.center().y() + h * 0.6),
                                  QPointF(area.left() + 16, area.center().y() - h * 0.2), h * 1.35,
                                  h * 0.8};
            PaintPiece(painter, icon,
                       kind == LabelKind::White ? PieceKind::White : PieceKind::Black);
            text.setLeft(area.left() + 28);
        }
        const char* word = words[static_cast<int>(kind)];
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(text.translated(1, 1), Qt::AlignCenter, word);
        painter.setPen(QColor(240, 206, 128));
        painter.drawText(text, Qt::AlignCenter, word);
    }

    void PaintDigit(QPainter& painter, const QRect& cell, int digit) const override {
        QFont font("DejaVu Serif", 17, QFont::Bold);
        font.setPixelSize(cell.height() - 4);
        painter.setFont(font);
        const QString text = QString::number(digit);
        painter.setPen(QColor(0, 0, 0, 220));
        painter.drawText(cell.translated(1, 1), Qt::AlignCenter, text);
        painter.setPen(QColor(246, 210, 122));
        painter.drawText(cell, Qt::AlignCenter, text);
    }

private:
    static PieceLook Look(PieceKind kind) {
        switch (kind) {
        case PieceKind::White:
            return {QColor(255, 250, 236), QColor(212, 192, 152), QColor(242, 230, 204),
                    QColor(140, 118, 84),  QColor(178, 156, 116), 0.35};
        case PieceKind::Black:
            return {QColor(98, 82, 72), QColor(22, 16, 12), QColor(86, 66, 54),
                    QColor(14, 10, 8),  QColor(70, 54, 42), 0.3};
        case PieceKind::Red:
            break;
        }
        return {QColor(255, 128, 104), QColor(168, 18, 12),   QColor(232, 64, 44),
                QColor(96, 8, 4),      QColor(255, 160, 130), 0.5};
    }

    ThemeSpec spec_ = ClassicSpec();
};

} // namespace

std::unique_ptr<Theme> MakeClassicTheme() {
    return std::make_unique<ClassicTheme>();
}
