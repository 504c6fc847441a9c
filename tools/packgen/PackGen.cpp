// packgen <stage folder> <program folder>
// Renders the four graphics packs. For pack N it writes the bitmaps (PNG),
// the string table and a resource list into <stage folder>/packN, for rcc to
// turn into gfxN.dll, and the preview sshotN.bmp into <program folder>.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "tools/packgen/Compose.h"
#include "tools/packgen/PackBuilder.h"

namespace {

constexpr QSize PreviewSize(169, 129);

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void WriteStage(const Pack& pack, const QString& folder) {
    if (!QDir().mkpath(folder + "/bitmaps"))
        throw std::runtime_error("cannot create " + folder.toStdString());
    QByteArray list = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const auto& [name, image] : pack.bitmaps) {
        const QString file = "bitmaps/" + name + ".png";
        if (!image.save(folder + "/" + file, "PNG"))
            throw std::runtime_error("cannot write " + file.toStdString());
        list += "<file alias=\"bitmaps/" + name.toUtf8() + "\">" + file.toUtf8() + "</file>\n";
    }
    QByteArray strings;
    for (const auto& [id, text] : pack.strings)
        strings += QByteArray::number(id) + '\t' + text.toUtf8() + '\n';
    WriteFile(folder + "/strings.txt", strings);
    list += "<file alias=\"strings\">strings.txt</file>\n</qresource>\n</RCC>\n";
    WriteFile(folder + "/pack.qrc", list);
}

PackSource InMemory(const Pack& pack) {
    return {[&pack](const QString& name) {
                const auto found = pack.bitmaps.find(name);
                return found == pack.bitmaps.end() ? QImage() : found->second;
            },
            [&pack](int id) { return pack.strings.at(id).toInt(); }};
}

// The board of the mid-game picture, widened to the shape of the preview
// and scaled down to it.
QImage Preview(const Pack& pack, const PackLayout& layout) {
    const QImage full = Compose(InMemory(pack), MidGamePosition());
    QSizeF area = QSizeF(layout.board.size()).grownBy(QMarginsF(8, 8, 8, 8));
    area = QSizeF(PreviewSize).scaled(area, Qt::KeepAspectRatioByExpanding);
    QRectF crop(QPointF(0, 0), area.boundedTo(QSizeF(full.size())));
    crop.moveCenter(QRectF(layout.board).center());
    crop.moveLeft(std::clamp(crop.left(), 0.0, full.width() - crop.width()));
    crop.moveTop(std::clamp(crop.top(), 0.0, full.height() - crop.height()));
    return full.copy(crop.toRect())
        .scaled(PreviewSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the labels and digits
    if (argc != 3) {
        std::fprintf(stderr, "usage: packgen <stage folder> <program folder>\n");
        return 2;
    }
    const QString stage = QString::fromLocal8Bit(argv[1]);
    const QString program = QString::fromLocal8Bit(argv[2]);
    try {
        if (!QDir().mkpath(program))
            throw std::runtime_error("cannot create " + program.toStdString());
        const auto themes = AllThemes();
        for (size_t n = 0; n < themes.size(); ++n) {
            const PackBuilder builder(*themes[n]);
            const Pack pack = builder.Build();
            WriteStage(pack, stage + "/pack" + QString::number(n));
            const QString preview = program + "/sshot" + QString::number(n) + ".bmp";
            if (!Preview(pack, builder.Layout()).save(preview, "BMP"))
                throw std::runtime_error("cannot write " + preview.toStdString());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "packgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
