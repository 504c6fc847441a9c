// icongen <icon theme folder> <size>...
// Draws the program's icon, a white piece before a black one as the Classic
// pack paints them, into <folder>/<n>x<n>/apps/korvel.png for each size n.
// Each size is painted on its own, so small icons stay sharp.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

#include "tools/packgen/Theme.h"

namespace {

// A standing piece seen from above at an angle, in fractions of the icon.
PieceShape Piece(int size, double x, double y) {
    const QPointF base(x * size, y * size);
    return {base, base - QPointF(0, 0.12 * size), 0.29 * size, 0.16 * size};
}

QImage Icon(const Theme& classic, int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    classic.PaintPiece(painter, Piece(size, 0.62, 0.44), PieceKind::Black);
    classic.PaintPiece(painter, Piece(size, 0.38, 0.70), PieceKind::White);
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: icongen <icon theme folder> <size>...\n");
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    const auto classic = MakeClassicTheme();
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "icongen: %s is no size\n", argv[i]);
            return 2;
        }
        const QString folder = theme + QString("/%1x%1/apps").arg(size);
        if (!QDir().mkpath(folder) || !Icon(*classic, size).save(folder + "/korvel.png", "PNG")) {
            std::fprintf(stderr, "icongen: cannot write %s/korvel.png\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
