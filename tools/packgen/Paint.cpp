#include "tools/packgen/Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Scaled(const QColor& colour, double factor) {
    auto channel = [factor](float c) {
        return static_cast<float>(std::clamp(c * factor, 0.0, 1.0));
    };
    return QColor::fromRgbF(channel(colour.redF()), channel(colour.greenF()),
                            channel(colour.blueF()), colour.alphaF());
}

namespace {

double Lattice(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) {
    return t * t * (3 - 2 * t);
}

} // namespace

double Noise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = Smooth(x - fx);
    const double ty = Smooth(y - fy);
    const double top = Lattice(ix, iy, seed) * (1 - tx) + Lattice(ix + 1, iy, seed) * tx;
    const double bottom = Lattice(ix, iy + 1, seed) * (1 - tx) + Lattice(ix + 1, iy + 1, seed) * tx;
    return top * (1 - ty) + bottom * ty;
}

double Fractal(double x, double y, uint32_t seed, int octaves) {
    double sum = 0;
    double weight = 0.5;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise(x, y, seed + i) * weight;
        total += weight;
        x *= 2.03;
        y *= 2.03;
        weight *= 0.5;
    }
    return sum / total;
}

void DrawSoftShadow(QPainter& painter, QPointF centre, double rx, double ry, int alpha) {
    painter.save();
    painter.translate(centre);
    painter.scale(1.0, ry / rx);
    QRadialGradient gradient(QPointF(0, 0), rx);
    gradient.setColorAt(0.0, QColor(0, 0, 0, alpha));
    gradient.setColorAt(0.55, QColor(0, 0, 0, alpha * 3 / 4));
    gradient.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(QPointF(0, 0), rx, rx);
    painter.restore();
}

void DrawHalo(QPainter& painter, QPointF centre, double rx, double ry, const QColor& colour) {
    painter.save();
    painter.translate(centre);
    painter.scale(1.0, ry / rx);
    QRadialGradient gradient(QPointF(0, 0), rx);
    QColor clear = colour;
    clear.setAlpha(0);
    gradient.setColorAt(0.0, colour);
    gradient.setColorAt(0.5, Mix(clear, colour, 0.6));
    gradient.setColorAt(1.0, clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(QPointF(0, 0), rx, rx);
    painter.restore();
}

QRectF TopFace(const PieceShape& shape, double fraction) {
    return {shape.top.x() - shape.rx * fraction, shape.top.y() - shape.ry * fraction,
            2 * shape.rx * fraction, 2 * shape.ry * fraction};
}

namespace {

QRectF ShadowArea(const PieceShape& shape) {
    const QPointF centre = shape.base + QPointF(shape.rx * 0.18, shape.ry * 0.2);
    return {centre.x() - shape.rx * 1.12, centre.y() - shape.ry * 1.12, shape.rx * 2.24,
            shape.ry * 2.24};
}

} // namespace

QRectF PieceArea(const PieceShape& shape) {
    const QRectF base(shape.base.x() - shape.rx, shape.base.y() - shape.ry, 2 * shape.rx,
                      2 * shape.ry);
    return TopFace(shape, 1.05) | base | ShadowArea(shape);
}

void DrawCylinder(QPainter& painter, const PieceShape& shape, const PieceLook& look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shadow = ShadowArea(shape);
    DrawSoftShadow(painter, shadow.center(), shadow.width() / 2, shadow.height() / 2, 120);

    const QRectF baseFace(shape.base.x() - shape.rx, shape.base.y() - shape.ry, 2 * shape.rx,
                          2 * shape.ry);
    const QRectF topFace = TopFace(shape);
    QPainterPath body;
    body.moveTo(baseFace.left(), shape.base.y());
    body.arcTo(baseFace, 180, 180);
    body.lineTo(topFace.right(), shape.top.y());
    body.arcTo(topFace, 0, 180);
    body.closeSubpath();
    QLinearGradient side(baseFace.left(), 0, baseFace.right(), 0);
    side.setColorAt(0.0, look.sideDark);
    side.setColorAt(0.28, look.sideLight);
    side.setColorAt(0.62, Mix(look.sideLight, look.sideDark, 0.55));
    side.setColorAt(1.0, Scaled(look.sideDark, 0.7));
    painter.setPen(QPen(Scaled(look.sideDark, 0.6), 0.8));
    painter.setBrush(side);
    painter.drawPath(body);

    QRadialGradient top(shape.top + QPointF(-shape.rx * 0.35, -shape.ry * 0.45), shape.rx * 1.5);
    top.setColorAt(0.0, look.topLight);
    top.setColorAt(1.0, look.topDark);
    painter.setPen(QPen(look.rim, 1.0));
    painter.setBrush(top);
    painter.drawEllipse(topFace);

    if (look.gloss > 0) {
        const QPointF spot = shape.top + QPointF(-shape.rx * 0.38, -shape.ry * 0.38);
        DrawHalo(painter, spot, shape.rx * 0.42, shape.ry * 0.32,
                 QColor(255, 255, 255, static_cast<int>(220 * look.gloss)));
    }
    painter.restore();
}
