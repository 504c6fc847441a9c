// Writes the background songs songs/0.mid .. songs/8.mid into the folder
// given as the only argument.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/songgen/Songs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: songgen <program folder>\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / "songs";
        std::filesystem::create_directories(folder);
        const std::vector<MidiFile> songs = ComposeSongs();
        for (size_t i = 0; i < songs.size(); ++i)
            songs[i].Save((folder / (std::to_string(i) + ".mid")).string());
    } catch (const std::exception& error) {
        std::cerr << "songgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
