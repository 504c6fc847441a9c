// The graphics packs: the check before Qt reads a pack, then, only for a
// pack the check accepts, Qt's registration of it, the entries the loader
// and the board view look up, and a walk over the others. A pack the check
// passes must not take Qt outside its bytes.

#include <QByteArray>
#include <QDir>
#include <QResource>

#include "fuzz/support/Check.h"
#include "platform/win32/ResourcesFormat.h"

namespace {

const QString Root = QStringLiteral("/fuzz-pack");
// The walk's bounds: the program looks up fixed names only, so a tree whose
// names lead back to where they are ("", "."), or that is very bushy, is no
// harm to it and must not stall the walk.
constexpr int MaxDepth = 8;
constexpr int MaxEntries = 2000;

// Reads the entry's bytes, so that ASan sees any read past them.
unsigned ReadEntry(const QString& path) {
    const QResource entry(path);
    if (!entry.isValid() || !entry.data())
        return 0;
    unsigned sum = 0;
    for (qint64 i = 0; i < entry.size(); ++i)
        sum += entry.data()[i];
    return sum;
}

void Walk(const QString& path, int depth, int& entries) {
    if (depth > MaxDepth || ++entries > MaxEntries)
        return;
    ReadEntry(path);
    const QStringList names =
        QDir(":" + path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : names)
        if (!name.isEmpty() && !name.contains('/'))
            Walk(path + "/" + name, depth + 1, entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // Qt reads a registered pack in place: it must own its bytes.
    const QByteArray pack(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!IsUncompressedResourceFile(pack))
        return 0;
    const auto* bytes = reinterpret_cast<const uchar*>(pack.constData());
    if (!QResource::registerResource(bytes, Root))
        return 0;
    for (const char* name : {"/strings", "/bitmaps/background", "/bitmaps/white12"})
        ReadEntry(Root + name);
    int entries = 0;
    Walk(Root, 0, entries);
    QResource::unregisterResource(bytes, Root);
    return 0;
}
