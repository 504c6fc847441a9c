#include "platform/win32/Resources.h"

#include <QImage>
#include <QResource>
#include <QString>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/win32/ResourcesFormat.h"
#include "platform/win32/WinBase.h"

namespace {

// A pack file larger than this is not read at all.
constexpr std::streamoff MaxPackBytes = 256 * 1024 * 1024;

using StringTable = std::map<UINT, AnsiString>;

// One loaded module: a pack (its file's bytes, registered with Qt under a
// root of its own, and its string table) or a built-in module (its name).
struct Module {
    AnsiString builtinName;
    QByteArray data;
    QString root;
    StringTable strings;
};

AnsiString BuiltinKey(const AnsiString& name) {
    AnsiString key = LowerCase(name);
    if (key.size() > 4 && key.ends_with(".dll"))
        key.resize(key.size() - 4);
    return key;
}

std::optional<QByteArray> ReadFileBytes(const AnsiString& fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > MaxPackBytes)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    file.seekg(0);
    if (!file.read(bytes.data(), size))
        return std::nullopt;
    return bytes;
}

std::optional<UINT> ParseId(const AnsiString& text) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    UINT id = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        id = id * 10 + static_cast<UINT>(c - '0');
    }
    if (id > 65535)
        return std::nullopt;
    return id;
}

// "<id><TAB><text>" lines; a malformed line or a repeated id spoils the table.
std::optional<StringTable> ParseStrings(const QResource& resource) {
    if (!resource.isValid())
        return std::nullopt;
    const AnsiString text(reinterpret_cast<const char*>(resource.data()),
                          static_cast<size_t>(resource.size()));
    StringTable table;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == AnsiString::npos)
            end = text.size();
        const AnsiString line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        const size_t tab = line.find('\t');
        const auto id = ParseId(line.substr(0, tab));
        if (tab == AnsiString::npos || !id || !table.emplace(*id, line.substr(tab + 1)).second)
            return std::nullopt;
    }
    return table;
}

class ModuleTable {
public:
    ModuleTable() {
        Register("kernel32", {{"GetLongPathNameA", reinterpret_cast<void*>(&GetLongPathNameA)}});
    }

    HINSTANCE Load(const AnsiString& fileName) {
        std::lock_guard lock(mutex_);
        if (fileName.find('/') == AnsiString::npos) {
            const auto builtin = builtinHandles_.find(BuiltinKey(fileName));
            if (builtin != builtinHandles_.end())
                return builtin->second;
        }
        return LoadPack(fileName);
    }

    BOOL Free(HINSTANCE handle) {
        std::lock_guard lock(mutex_);
        const auto found = modules_.find(handle);
        if (found == modules_.end())
            return FALSE;
        Module& module = *found->second;
        if (!module.builtinName.empty())
            return TRUE;
        QResource::unregisterResource(reinterpret_cast<const uchar*>(module.data.constData()),
                                      module.root);
        modules_.erase(found);
        return TRUE;
    }

    std::optional<AnsiString> String(HINSTANCE handle, UINT id) {
        std::lock_guard lock(mutex_);
        const Module* module = Find(handle);
        if (!module)
            return std::nullopt;
        const auto found = module->strings.find(id);
        if (found == module->strings.end())
            return std::nullopt;
        return found->second;
    }

    void* Procedure(HINSTANCE handle, const AnsiString& procName) {
        std::lock_guard lock(mutex_);
        const Module* module = Find(handle);
        if (!module || module->builtinName.empty())
            return nullptr;
        const ProcedureTable& procedures = builtinProcedures_[module->builtinName];
        const auto found = procedures.find(procName);
        return found == procedures.end() ? nullptr : found->second;
    }

    QImage Bitmap(HINSTANCE handle, const AnsiString& name) {
        std::lock_guard lock(mutex_);
        const Module* module = Find(handle);
        // A "/" would reach past the bitmaps into other entries or packs.
        if (!module || !module->builtinName.empty() || name.empty() ||
            name.find('/') != AnsiString::npos)
            return {};
        const QResource resource(module->root + "/bitmaps/" + QString::fromUtf8(LowerCase(name)));
        if (!resource.isValid())
            return {};
        return QImage::fromData(reinterpret_cast<const uchar*>(resource.data()),
                                static_cast<int>(resource.size()));
    }

    void Register(const AnsiString& name, const ProcedureTable& procedures) {
        std::lock_guard lock(mutex_);
        const AnsiString key = BuiltinKey(name);
        builtinProcedures_[key] = procedures;
        if (builtinHandles_.contains(key))
            return;
        auto module = std::make_unique<Module>();
        module->builtinName = key;
        const HINSTANCE handle = Add(std::move(module));
        builtinHandles_[key] = handle;
    }

private:
    const Module* Find(HINSTANCE handle) const {
        const auto found = modules_.find(handle);
        return found == modules_.end() ? nullptr : found->second.get();
    }

    HINSTANCE Add(std::unique_ptr<Module> module) {
        const HINSTANCE handle = reinterpret_cast<HINSTANCE>(module.get());
        modules_[handle] = std::move(module);
        return handle;
    }

    HINSTANCE LoadPack(const AnsiString& fileName) {
        auto module = std::make_unique<Module>();
        auto bytes = ReadFileBytes(fileName);
        if (!bytes || !IsUncompressedResourceFile(*bytes))
            return nullptr;
        module->data = std::move(*bytes);
        module->root = QStringLiteral("/korvel-module-%1").arg(++packsLoaded_);
        const auto* data = reinterpret_cast<const uchar*>(module->data.constData());
        if (!QResource::registerResource(data, module->root))
            return nullptr;
        auto strings = ParseStrings(QResource(module->root + "/strings"));
        if (!strings) {
            QResource::unregisterResource(data, module->root);
            return nullptr;
        }
        module->strings = std::move(*strings);
        return Add(std::move(module));
    }

    std::mutex mutex_;
    std::map<HINSTANCE, std::unique_ptr<Module>> modules_;
    std::map<AnsiString, HINSTANCE> builtinHandles_;
    std::map<AnsiString, ProcedureTable> builtinProcedures_;
    uint64_t packsLoaded_ = 0;
};

// The loader's module list, as the system keeps it for a process.
ModuleTable& Modules() {
    static ModuleTable modules;
    return modules;
}

} // namespace

HINSTANCE LoadLibraryA(LPCSTR fileName) {
    if (!fileName)
        return nullptr;
    return Modules().Load(fileName);
}

BOOL FreeLibrary(HINSTANCE module) {
    return Modules().Free(module);
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax) {
    if (!buffer || bufferMax < 1)
        return 0;
    const AnsiString text = Modules().String(module, id).value_or(AnsiString());
    const size_t count = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

void* GetProcAddress(HINSTANCE module, LPCSTR procName) {
    if (!procName)
        return nullptr;
    return Modules().Procedure(module, procName);
}

QImage FindBitmapResource(HINSTANCE module, const AnsiString& name) {
    return Modules().Bitmap(module, name);
}

void RegisterBuiltinModule(const AnsiString& name, const ProcedureTable& procedures) {
    Modules().Register(name, procedures);
}
