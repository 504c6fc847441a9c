#include "tests/support/HandMadePack.h"

namespace {

constexpr size_t HeaderBytes = 24;
constexpr size_t NodeBytes = 22;
const std::string StringsName = "strings";

void Put(std::string& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The hash by which Qt finds a name among its siblings.
uint32_t NameHash(const std::string& name) {
    uint32_t hash = 0;
    for (unsigned char c : name) {
        hash = (hash << 4) + c;
        hash ^= (hash & 0xF0000000u) >> 23;
        hash &= 0x0FFFFFFFu;
    }
    return hash;
}

} // namespace

std::string HandMadePack::Bytes() const {
    std::string data;
    Put(data, strings.size(), 4);
    data += strings;
    std::string names;
    Put(names, StringsName.size(), 2);
    Put(names, NameHash(StringsName), 4);
    for (char c : StringsName)
        Put(names, static_cast<unsigned char>(c), 2);
    std::string tree;
    Put(tree, 0, 4); // the root's name, which Qt never reads
    Put(tree, rootFlags, 2);
    Put(tree, rootChildCount, 4);
    Put(tree, rootFirstChild, 4);
    Put(tree, 0, 8);
    Put(tree, stringsNameOffset, 4);
    Put(tree, stringsFlags, 2);
    Put(tree, 0, 2); // any territory
    Put(tree, 1, 2); // the C language
    Put(tree, stringsDataOffset, 4);
    Put(tree, 0, 8);

    std::string out = "qres";
    Put(out, 3, 4);
    Put(out, HeaderBytes + data.size() + names.size(), 4);
    Put(out, HeaderBytes, 4);
    Put(out, HeaderBytes + data.size(), 4);
    Put(out, 0, 4);
    return out + data + names + tree;
}

std::string PackWithAFileAsRoot() {
    HandMadePack pack;
    pack.rootFlags = 0;
    pack.rootChildCount = 20000000;
    pack.rootFirstChild = 0; // as a file, the root holds the string table
    constexpr size_t FileBytes = 338;
    const size_t fixed = HeaderBytes + 4 + 6 + 2 * StringsName.size() + 2 * NodeBytes;
    pack.strings = "1001\tclassic\n1002\t";
    pack.strings.resize(FileBytes - fixed - 1, 'x');
    pack.strings += '\n';
    return pack.Bytes();
}
