// menuimages <source file>
// Draws the images of the main menu's image list and writes them, as PNG
// data, into a C++ source that defines what ui/MenuImages.h declares.
// Image 0 is the badge of the maker's other game, "Tolva+": a white T and a
// gold plus on a blue tile, 16 x 16 pixels.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSize = 16;

QImage OtherGameBadge() {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 0, 0, kSize);
    tile.setColorAt(0, QColor(70, 130, 220));
    tile.setColorAt(1, QColor(20, 50, 130));
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, kSize - 1, kSize - 1), 3, 3);
    painter.fillPath(outline, tile);
    painter.setPen(QPen(QColor(10, 25, 70), 1));
    painter.drawPath(outline);
    // The letters on whole pixels, so they stay sharp at this size.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(2, 4, 8, 2);
    painter.drawRect(5, 6, 2, 7);
    painter.setBrush(QColor(255, 200, 40));
    painter.drawRect(10, 3, 5, 1);
    painter.drawRect(12, 1, 1, 5);
    painter.end();
    return image;
}

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray Definition(const char* name, const QByteArray& data) {
    QByteArray text = "const unsigned char " + QByteArray(name) + "[] = {";
    for (int i = 0; i < data.size(); ++i) {
        text += i % 12 == 0 ? "\n   " : "";
        text += " 0x" + QByteArray::number(static_cast<unsigned char>(data[i]), 16) + ",";
    }
    text += "\n};\nconst int " + QByteArray(name) + "Size = sizeof " + QByteArray(name) + ";\n";
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: menuimages <source file>\n");
        return 2;
    }
    const QByteArray badge = Png(OtherGameBadge());
    if (badge.isEmpty()) {
        std::fprintf(stderr, "menuimages: the badge does not encode\n");
        return 1;
    }
    const QByteArray source = "// Written by tools/menuimages.\n#include \"ui/MenuImages.h\"\n\n" +
                              Definition("OtherGameImage", badge);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size()) {
        std::fprintf(stderr, "menuimages: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
