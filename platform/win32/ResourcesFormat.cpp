#include "platform/win32/ResourcesFormat.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

// Layout of a Qt binary resource file (all numbers big-endian):
//   header: "qres", version, tree offset, data offset, names offset,
//           and from version 3 on the file flags
//   tree node: name offset (4), flags (2), then for a directory the child
//           count (4) and the index of the first child (4), for a file the
//           territory (2), language (2) and data offset (4); from version 2
//           on 8 more bytes of modification time
//   name: length in UTF-16 units (2), hash (4), the UTF-16 units
//   data: length (4), the bytes
constexpr uint32_t DirectoryFlag = 0x02;
constexpr uint32_t CompressedFlags = 0x01 | 0x04; // zlib, zstd
constexpr uint32_t KnownNodeFlags = DirectoryFlag | CompressedFlags;

class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data) {}

    std::optional<uint32_t> Read(uint64_t offset, int bytes) const {
        if (offset + bytes > static_cast<uint64_t>(data_.size()))
            return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | static_cast<uint8_t>(data_[static_cast<qsizetype>(offset) + i]);
        return value;
    }
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= static_cast<uint64_t>(data_.size()) &&
               length <= static_cast<uint64_t>(data_.size()) - offset;
    }

private:
    const QByteArray& data_;
};

struct Sections {
    uint32_t version;
    uint64_t tree;
    uint64_t payloads;
    uint64_t names;
};

std::optional<Sections> ReadHeader(const Reader& in) {
    const auto magic = in.Read(0, 4);
    if (!magic || *magic != 0x71726573u) // "qres"
        return std::nullopt;
    const auto version = in.Read(4, 4);
    const auto tree = in.Read(8, 4);
    const auto payloads = in.Read(12, 4);
    const auto names = in.Read(16, 4);
    if (!version || !tree || !payloads || !names || *version < 1 || *version > 3)
        return std::nullopt;
    if (*version >= 3) {
        const auto fileFlags = in.Read(20, 4);
        if (!fileFlags || (*fileFlags & ~CompressedFlags) != 0)
            return std::nullopt;
    }
    return Sections{*version, *tree, *payloads, *names};
}

bool NameIsInside(const Reader& in, const Sections& at, uint32_t nameOffset) {
    const auto length = in.Read(at.names + nameOffset, 2);
    return length && in.Holds(at.names + nameOffset + 6, uint64_t{*length} * 2);
}

bool DataIsInside(const Reader& in, const Sections& at, uint32_t dataOffset) {
    const auto length = in.Read(at.payloads + dataOffset, 4);
    return length && in.Holds(at.payloads + dataOffset + 4, *length);
}

// Walks the tree from the root without recursion. Qt reads the root as a
// directory whatever its flags say, so it must be one. Every other node is
// the child of exactly one directory and comes after it: no cycles, and the
// walk ends after at most one visit per node of the file.
bool TreeIsInside(const Reader& in, const Sections& at, uint64_t fileSize) {
    const uint64_t nodeSize = at.version >= 2 ? 22 : 14;
    if (!in.Holds(at.tree, nodeSize))
        return false;
    const uint64_t nodes = (fileSize - at.tree) / nodeSize;
    std::vector<bool> claimed(nodes);
    claimed[0] = true;
    std::vector<uint64_t> pending{0};
    while (!pending.empty()) {
        const uint64_t node = pending.back();
        pending.pop_back();
        const uint64_t offset = at.tree + node * nodeSize;
        const uint32_t flags = *in.Read(offset + 4, 2);
        if ((flags & ~KnownNodeFlags) != 0 || (flags & CompressedFlags) != 0)
            return false;
        if (!NameIsInside(in, at, *in.Read(offset, 4)))
            return false;
        if ((flags & DirectoryFlag) == 0) {
            if (node == 0 || !DataIsInside(in, at, *in.Read(offset + 10, 4)))
                return false;
            continue;
        }
        const uint64_t count = *in.Read(offset + 6, 4);
        const uint64_t first = *in.Read(offset + 10, 4);
        if (count > 0 && (first <= node || first + count > nodes))
            return false;
        for (uint64_t child = first; child < first + count; ++child) {
            if (claimed[child])
                return false;
            claimed[child] = true;
            pending.push_back(child);
        }
    }
    return true;
}

} // namespace

bool IsUncompressedResourceFile(const QByteArray& data) {
    const Reader in(data);
    const auto sections = ReadHeader(in);
    return sections && TreeIsInside(in, *sections, static_cast<uint64_t>(data.size()));
}
