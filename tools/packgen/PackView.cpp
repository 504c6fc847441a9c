// packview <pack file> <picture.png> [arcade]
// Loads a finished pack the way the game does and saves the mid-game
// position as the board view would draw it, for looking at a pack. With
// "arcade" the labels and counters of the arcade mode show a four-digit
// score, and the trays are full.

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <exception>

#include "platform/vcl/SysUtils.h"
#include "platform/win32/Resources.h"
#include "tools/packgen/Compose.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: packview <pack file> <picture.png> [arcade]\n");
        return 2;
    }
    const HINSTANCE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::fprintf(stderr, "packview: %s is not a pack\n", argv[1]);
        return 1;
    }
    const PackSource source{
        [module](const QString& name) { return FindBitmapResource(module, name.toStdString()); },
        [module](int id) {
            char buffer[4];
            LoadStringA(module, static_cast<UINT>(id), buffer, sizeof buffer);
            return StrToInt(buffer);
        }};
    Position position = MidGamePosition();
    if (argc == 4) {
        position.arcade = true;
        position.counter1 = 1470;
        position.counter2 = 4;
        position.whiteInHand = 9;
        position.blackInHand = 8;
    }
    int result = 0;
    try {
        if (!Compose(source, position).save(QString::fromLocal8Bit(argv[2])))
            throw std::runtime_error("cannot write the picture");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "packview: %s\n", error.what());
        result = 1;
    }
    FreeLibrary(module);
    return result;
}
