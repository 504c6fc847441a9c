// langenc: writes the enciphered form of a plain language file.
//
//   langenc <plain Languages.rc> <enciphered output>
//
// The output begins with "mode=enc"; every text line keeps its number and
// carries, between its quotes, the radix-64 encipherment of its text under
// the language key. A plain file's quote and backslash escapes are resolved
// first, as its reader resolves them when loading; the line-break escapes
// stay in the text, since the reader replaces them after deciphering.
// Comment lines are left out.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"

namespace {

const AnsiString LanguageKey = "Tq4WmZ8rKd2PxL7vNc3HbJ6yFs9GeA1UoR5iXw0QkM2n";

// The line as the plain reader sees it after loading.
AnsiString ResolveEscapes(const AnsiString& line) {
    return ReplaceAll(ReplaceAll(line, "\\\"", "'"), "\\\\", "\\");
}

// Empty when the line is no text line.
AnsiString EncipherLine(TGlobalBlowFish& cipher, const AnsiString& plainLine) {
    const AnsiString line = ResolveEscapes(plainLine);
    const size_t open = line.find('"');
    if (open == AnsiString::npos)
        return "";
    const size_t close = line.find('"', open + 1);
    if (close == AnsiString::npos)
        return "";
    const AnsiString text = line.substr(open + 1, close - open - 1);
    return line.substr(0, open + 1) + cipher.Encrypt(text, LanguageKey) + line.substr(close);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: langenc <plain language file> <enciphered output>\n";
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::cerr << "langenc: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string temporary = std::string(argv[2]) + ".tmp";
    std::ofstream output(temporary, std::ios::binary | std::ios::trunc);
    if (!output) {
        std::cerr << "langenc: cannot write " << temporary << "\n";
        return 1;
    }
    TGlobalBlowFish cipher;
    output << "mode=enc\n";
    std::string line;
    while (std::getline(input, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const AnsiString enciphered = EncipherLine(cipher, line);
        if (!enciphered.empty())
            output << enciphered << "\n";
    }
    output.close();
    if (!output || std::rename(temporary.c_str(), argv[2]) != 0) {
        std::cerr << "langenc: cannot write " << argv[2] << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
