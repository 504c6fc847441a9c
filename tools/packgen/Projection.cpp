#include "tools/packgen/Projection.h"

#include <cmath>
#include <numbers>

Projection::Projection(const Camera& camera)
    : camera_(camera), cosE_(std::cos(camera.elevationDegrees * std::numbers::pi / 180)),
      sinE_(std::sin(camera.elevationDegrees * std::numbers::pi / 180)) {}

double Projection::Depth(double y, double z) const {
    return camera_.distance + y * cosE_ - z * sinE_;
}

QPointF Projection::Project(double x, double y, double z) const {
    const double depth = Depth(y, z);
    const double up = y * sinE_ + z * cosE_;
    const double across = (x - camera_.sideShift) / depth + camera_.sideShift / camera_.distance;
    return {camera_.centre.x() + across * camera_.focal,
            camera_.centre.y() - up / depth * camera_.focal};
}

QPointF Projection::Unproject(QPointF screen, double z) const {
    // Solve up / depth = v for y, with up and depth linear in y.
    const double v = (camera_.centre.y() - screen.y()) / camera_.focal;
    const double y = (v * (camera_.distance - z * sinE_) - z * cosE_) / (sinE_ - v * cosE_);
    const double u =
        (screen.x() - camera_.centre.x()) / camera_.focal - camera_.sideShift / camera_.distance;
    return {u * Depth(y, z) + camera_.sideShift, y};
}

double Projection::ScaleAt(double y, double z) const {
    return camera_.focal / Depth(y, z);
}
