#pragma once
// Painting helpers shared by the themes: colour mixing, value noise for
// grain and texture, soft shadows and the shaded cylinder of a piece.

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>
#include <cstdint>

// A piece as it appears on the picture: the centres of its bottom and top
// faces and the radii of the (elliptical) faces.
struct PieceShape {
    QPointF base;
    QPointF top;
    double rx;
    double ry;
};

struct PieceLook {
    QColor topLight;
    QColor topDark;
    QColor sideLight;
    QColor sideDark;
    QColor rim;
    double gloss; // strength of the specular highlight, 0..1
};

QColor Mix(const QColor& a, const QColor& b, double t);
QColor Scaled(const QColor& colour, double factor);

// Smooth value noise in 0..1, and a sum of octaves of it.
double Noise(double x, double y, uint32_t seed);
double Fractal(double x, double y, uint32_t seed, int octaves);

// A soft elliptical shadow that fades out towards its rim.
void DrawSoftShadow(QPainter& painter, QPointF centre, double rx, double ry, int alpha);
// A glowing elliptical halo: `colour` at the centre fading to nothing.
void DrawHalo(QPainter& painter, QPointF centre, double rx, double ry, const QColor& colour);
// The shadow, the lit side and the top face of a piece.
void DrawCylinder(QPainter& painter, const PieceShape& shape, const PieceLook& look);
// The ellipse of the top face, for decorations.
QRectF TopFace(const PieceShape& shape, double fraction = 1.0);
// Everything DrawCylinder paints: the piece and its shadow.
QRectF PieceArea(const PieceShape& shape);
