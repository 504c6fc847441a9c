#include "tests/support/PackFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <stdexcept>

PackFixture::PackFixture() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
}

std::string PackFixture::Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
}

std::string PackFixture::Write(const std::string& name, const QByteArray& bytes) {
    QFile file(QString::fromStdString(Path(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + name);
    return Path(name);
}

std::string PackFixture::Make(const std::string& name, const Contents& contents) {
    const QString source = dir_.filePath(QString::fromStdString(name) + ".src");
    QDir().mkpath(source);
    QByteArray list = "<!DOCTYPE RCC><RCC version=\"1.0\"><qresource prefix=\"/\">\n";
    for (const auto& [bitmap, image] : contents.bitmaps) {
        const QString file = source + "/" + QString::fromStdString(bitmap) + ".png";
        if (!image.save(file, "PNG"))
            throw std::runtime_error("cannot write " + file.toStdString());
        list += "<file alias=\"bitmaps/" + QByteArray::fromStdString(bitmap) + "\">" +
                file.toUtf8() + "</file>\n";
    }
    if (contents.strings) {
        QFile strings(source + "/strings.txt");
        if (!strings.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the string table");
        strings.write(QByteArray::fromStdString(*contents.strings));
        list += "<file alias=\"strings\">" + strings.fileName().toUtf8() + "</file>\n";
    }
    list += "</qresource></RCC>\n";
    QFile qrc(source + "/pack.qrc");
    if (!qrc.open(QIODevice::WriteOnly) || qrc.write(list) != list.size())
        throw std::runtime_error("cannot write the resource list");
    qrc.close();

    QStringList arguments{"--binary", qrc.fileName(), "-o", QString::fromStdString(Path(name))};
    arguments << (contents.compressed ? QStringList{"--compress-algo", "zlib", "--compress", "9",
                                                    "--threshold", "0"}
                                      : QStringList{"--no-compress"});
    QProcess rcc;
    rcc.start(KORVEL_RCC, arguments);
    if (!rcc.waitForFinished(30000) || rcc.exitCode() != 0)
        throw std::runtime_error("rcc failed: " + rcc.readAllStandardError().toStdString());
    return Path(name);
}

PackFixture::Contents SmallPack() {
    QImage background(40, 30, QImage::Format_RGB32);
    background.fill(QColor(10, 120, 200));
    QImage white(8, 6, QImage::Format_RGB32);
    white.fill(Qt::white);
    return {{{"background", background}, {"white1", white}},
            "1\t12\n2\t1234567\n3\t\n1001\tclassic\n"};
}
