#include "tools/packgen/Theme.h"

#include <QPainterPath>

PieceShape Scene::Piece(QPointF world, double z, double r, double h) const {
    const QPointF radii = Radii(world, z, r);
    const QPointF near = At(world - QPointF(0, r), z);
    const QPointF far = At(world + QPointF(0, r), z);
    const QPointF base(At(world, z).x(), (near.y() + far.y()) / 2);
    const QPointF lift = At(world, z + h) - At(world, z);
    return {base, base + lift, radii.x(), radii.y()};
}

QPointF Scene::Radii(QPointF world, double z, double r) const {
    const QPointF near = At(world - QPointF(0, r), z);
    const QPointF far = At(world + QPointF(0, r), z);
    return {projection.ScaleAt(world.y(), z) * r, (near.y() - far.y()) / 2};
}

QPolygonF Scene::Flat(QPointF centre, double halfWidth, double halfHeight, double corner,
                      double z) const {
    QPainterPath path;
    path.addRoundedRect(
        QRectF(centre.x() - halfWidth, centre.y() - halfHeight, 2 * halfWidth, 2 * halfHeight),
        corner, corner);
    QPolygonF polygon;
    for (const QPointF& p : path.toFillPolygon())
        polygon << At(p, z);
    return polygon;
}

QPainterPath Scene::Lines(double width, QPointF shift) const {
    const double w = width / 2;
    auto square = [this, shift](double half, bool reversed) {
        QPolygonF polygon;
        const QPointF corners[] = {{-half, half}, {half, half}, {half, -half}, {-half, -half}};
        for (int i = 0; i < 4; ++i)
            polygon << At(corners[reversed ? 3 - i : i], 0) + shift;
        polygon << polygon.first();
        return polygon;
    };
    auto strip = [this, shift](QPointF from, QPointF to, QPointF across) {
        return QPolygonF({At(from - across, 0) + shift, At(to - across, 0) + shift,
                          At(to + across, 0) + shift, At(from + across, 0) + shift,
                          At(from - across, 0) + shift});
    };
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (double half : {3.0, 2.0, 1.0}) {
        path.addPolygon(square(half + w, false));
        path.addPolygon(square(half - w, true));
    }
    for (QPointF direction : {QPointF(0, 1), QPointF(1, 0), QPointF(0, -1), QPointF(-1, 0)}) {
        const QPointF across(direction.y() * w, -direction.x() * w); // all strips clockwise
        path.addPolygon(strip(direction * 1.0, direction * 3.0, across));
    }
    return path;
}

std::vector<std::unique_ptr<Theme>> AllThemes() {
    std::vector<std::unique_ptr<Theme>> themes;
    themes.push_back(MakeClassicTheme());
    themes.push_back(MakeDesktopTheme());
    themes.push_back(MakeSpaceTheme());
    themes.push_back(MakeToyTheme());
    return themes;
}
