// Writes every graphics pack's move sounds (prefix + 1..5 + ".wav") into
// the folder given as the only argument.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/soundgen/PackSounds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: soundgen <program folder>\n";
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        for (const PackSounds& pack : AllPackSounds())
            for (int take = 1; take <= kSoundsPerPack; ++take)
                SaveWav((folder / (pack.prefix + std::to_string(take) + ".wav")).string(),
                        pack.Make(take));
    } catch (const std::exception& error) {
        std::cerr << "soundgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
