#include "tools/packgen/Compose.h"

#include <QPainter>
#include <stdexcept>

namespace {

class Canvas {
public:
    Canvas(const PackSource& pack, QImage& image) : pack_(pack), painter_(&image) {}

    // Draws the named bitmap at (x, y) and returns its width.
    int Draw(const QString& name, int x, int y) {
        const QImage bitmap = pack_.bitmap(name);
        if (bitmap.isNull())
            throw std::runtime_error("pack has no bitmap " + name.toStdString());
        painter_.drawImage(x, y, bitmap);
        return bitmap.width();
    }

    void DrawCounter(int value, int xId, int yId) {
        int x = pack_.number(xId);
        for (QChar c : QString::number(value))
            x += Draw(QStringLiteral("digit") + c, x, pack_.number(yId));
    }

private:
    const PackSource& pack_;
    QPainter painter_;
};

} // namespace

Position MidGamePosition() {
    Position position{};
    for (int p : {0, 1, 11, 17, 19, 22})
        position.points[p] = 1;
    for (int p : {2, 4, 8, 13, 15, 20})
        position.points[p] = 2;
    position.whiteInHand = 3;
    position.blackInHand = 3;
    position.glow[18] = true;
    position.marked = 19;
    position.counter1 = 1;
    position.counter2 = 2;
    return position;
}

QImage Compose(const PackSource& pack, const Position& position) {
    QImage image = pack.bitmap("background");
    if (image.isNull())
        throw std::runtime_error("pack has no background");
    image = image.convertToFormat(QImage::Format_RGB32);
    {
        Canvas canvas(pack, image);
        canvas.DrawCounter(position.counter1, 300, 301);
        canvas.DrawCounter(position.counter2, 302, 303);
        canvas.Draw("ersatz_black" + QString::number(position.blackInHand), pack.number(102),
                    pack.number(103));
        canvas.Draw("ersatz_white" + QString::number(position.whiteInHand), pack.number(100),
                    pack.number(101));
        canvas.Draw(position.arcade ? "beschriftungstage" : "beschriftungblack", pack.number(350),
                    pack.number(351));
        canvas.Draw(position.arcade ? "beschriftungscore" : "beschriftungwhite", pack.number(352),
                    pack.number(353));
        for (int i = 0; i < 24; ++i) {
            QString name = position.points[i] == 1   ? "white"
                           : position.points[i] == 2 ? "black"
                           : position.glow[i]        ? "glow"
                                                     : "empty";
            if (i == position.marked)
                name = "red";
            canvas.Draw(name + QString::number(i + 1), pack.number(i), pack.number(i + 24));
        }
    }
    return image;
}
