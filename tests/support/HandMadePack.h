#pragma once
// A Qt binary resource file written byte by byte (format version 3, nothing
// compressed): a root directory holding one file, "strings", the string
// table of a graphics pack. Each field may be given a damaged value, so a
// test names the one thing that is wrong with a pack.

#include <cstdint>
#include <string>

struct HandMadePack {
    uint16_t rootFlags = 2; // a directory
    // Where a directory has its child count and first child, a file has its
    // territory and language, then its data offset.
    uint32_t rootChildCount = 1;
    uint32_t rootFirstChild = 1;
    uint16_t stringsFlags = 0; // a file
    uint32_t stringsNameOffset = 0;
    uint32_t stringsDataOffset = 0;
    std::string strings = "1001\tclassic\n";

    std::string Bytes() const;
};

// The damaged graphics pack found by fuzzing: 338 bytes whose root entry is
// a file (holding the string table), so that Qt, which reads the root as a
// directory, takes its territory and language for a count of 20,000,000
// children.
std::string PackWithAFileAsRoot();
