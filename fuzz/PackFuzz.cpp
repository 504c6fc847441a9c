// The graphics packs: the check before Qt reads a pack, then, only for a
// pack the check accepts, Qt's registration of it and a walk over every
// entry as the loader and the board view read them. A pack the check
// passes must not take Qt outside its bytes.

#include <QByteArray>
#include <QDirIterator>
#include <QResource>

#include "fuzz/support/Check.h"
#include "platform/win32/ResourcesFormat.h"

namespace {

const QString Root = QStringLiteral("/fuzz-pack");

// Reads each entry's bytes, so that ASan sees any read past them.
void ReadEntries() {
    QDirIterator entries(":" + Root, QDirIterator::Subdirectories);
    unsigned sum = 0;
    while (entries.hasNext()) {
        const QResource entry(entries.next());
        if (!entry.isValid() || !entries.fileInfo().isFile())
            continue;
        const uchar* bytes = entry.data();
        for (qint64 i = 0; i < entry.size(); ++i)
            sum += bytes[i];
    }
    QResource(Root + "/strings").isValid();
    (void)sum;
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
    ReadEntries();
    QResource::unregisterResource(bytes, Root);
    return 0;
}
