#pragma once
// A theme is the look of one graphics pack: its camera, its proportions and
// how it paints the table, the board, the pieces, the marks, the trays of
// pieces in hand, the counters and their labels. The pack builder owns the
// layout; a theme only paints what it is asked to.

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "tools/packgen/Paint.h"
#include "tools/packgen/Projection.h"

enum class PieceKind { White, Black, Red };
enum class LabelKind { White, Black, Score, Stage };

struct ThemeSpec {
    QString name;        // "Classic"
    QString soundPrefix; // start of the move-sound file names
    QSize picture;       // of the background, the size of the board view
    Camera camera;
    double boardHalf;   // half the side of the board's slab
    double boardCorner; // corner radius of the slab
    double slabHeight;  // the table lies this far below the board
    double pieceRadius; // of a piece on the board
    double pieceHeight;
    double markRadius; // of a glow or red halo, and of a point's stud
    double trayPieceRadius;
    double traySpacing; // between the centres of neighbouring tray places
    QPointF whiteTray;  // tray centres on the table
    QPointF blackTray;
    QSize labelSize;
    QSize digitSize;
    int platePadding; // around the digits or the label text
    int margin;       // of the plates from the picture's edges
};

// The geometry a theme paints with, set up by the pack builder.
struct Scene {
    const ThemeSpec& spec;
    Projection projection;
    std::array<QPointF, 24> points; // board coordinates of the points
    QSize size;                     // of the background

    QPointF At(QPointF world, double z) const {
        return projection.Project(world.x(), world.y(), z);
    }
    // A piece of radius r and height h standing on the plane at height z.
    PieceShape Piece(QPointF world, double z, double r, double h) const;
    // A rounded rectangle lying in the plane at height z, as a picture polygon.
    QPolygonF Flat(QPointF centre, double halfWidth, double halfHeight, double corner,
                   double z) const;
    // Radii of a circle of radius r lying in the plane at height z.
    QPointF Radii(QPointF world, double z, double r) const;
    // The three rings and the four cross lines as strips of the given width
    // on the board (z = 0), moved by `shift` pixels.
    QPainterPath Lines(double width, QPointF shift = {}) const;
};

class Theme {
public:
    virtual ~Theme() = default;
    virtual const ThemeSpec& Spec() const = 0;

    // Per-pixel surfaces, given the board coordinates of the pixel.
    virtual QRgb Table(QPointF world) const = 0;
    virtual QRgb BoardTop(QPointF world) const = 0;
    // The slab's side wall at height z (between -slabHeight and 0), facing
    // `normal` in the board plane.
    virtual QRgb BoardSide(QPointF world, double z, QPointF normal) const = 0;

    // Lines, point studs and decorations on top of the surfaces.
    virtual void PaintBoard(QPainter& painter, const Scene& scene) const = 0;
    virtual void PaintTray(QPainter& painter, const Scene& scene, QPointF centre) const = 0;
    // The empty plate behind a counter or a label.
    virtual void PaintPlate(QPainter& painter, const QRect& plate) const = 0;

    virtual void PaintPiece(QPainter& painter, const PieceShape& shape, PieceKind kind) const = 0;
    virtual void PaintGlow(QPainter& painter, const Scene& scene, QPointF point) const = 0;
    virtual void PaintLabel(QPainter& painter, const QRect& area, LabelKind kind) const = 0;
    virtual void PaintDigit(QPainter& painter, const QRect& cell, int digit) const = 0;
};

// The four packs, in pack number order: Classic, Desktop, Space Station,
// Toyland.
std::vector<std::unique_ptr<Theme>> AllThemes();

std::unique_ptr<Theme> MakeClassicTheme();
std::unique_ptr<Theme> MakeDesktopTheme();
std::unique_ptr<Theme> MakeSpaceTheme();
std::unique_ptr<Theme> MakeToyTheme();
