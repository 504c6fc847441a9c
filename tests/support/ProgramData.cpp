#include "tests/support/ProgramData.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

const char* const DataFiles[] = {"Languages.rc", "gfx0.dll",   "gfx1.dll",   "gfx2.dll",
                                 "gfx3.dll",     "sshot0.bmp", "sshot1.bmp", "sshot2.bmp",
                                 "sshot3.bmp",   "songs",      "help"};

} // namespace

std::string BuildProgramDir() {
    const char* dir = std::getenv("KORVEL_PROGRAM_DIR");
    if (!dir || !*dir)
        throw std::runtime_error("KORVEL_PROGRAM_DIR is not set");
    return std::string(dir) + "/";
}

std::string ProgramFile(const std::string& name) {
    return BuildProgramDir() + name;
}

std::string FileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void LinkProgramData(const std::string& folder) {
    const std::filesystem::path build = BuildProgramDir();
    for (const char* name : DataFiles)
        std::filesystem::create_symlink(build / name, folder + name);
}
