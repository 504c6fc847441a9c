#pragma once
// The camera of a pack: the board lies in the plane z = 0 (x to the right,
// y away from the viewer, z up, one unit between neighbouring points) and is
// seen from the front at an elevation angle. The camera may stand to one
// side; the picture is shifted so the board's centre stays at `centre`.

#include <QPointF>

struct Camera {
    double elevationDegrees; // 90 looks straight down
    double distance;         // from the board's centre, in board units
    double focal;            // pixels per unit at the given distance
    double sideShift;        // camera position along x, in board units
    QPointF centre;          // where the board's centre appears
};

class Projection {
public:
    explicit Projection(const Camera& camera);

    QPointF Project(double x, double y, double z) const;
    // The point of the plane at height z that appears at `screen`.
    QPointF Unproject(QPointF screen, double z) const;
    // Pixels per board unit across the picture at depth y.
    double ScaleAt(double y, double z) const;

private:
    double Depth(double y, double z) const;

    Camera camera_;
    double cosE_;
    double sinE_;
};
