#include "tests/support/ProgramData.h"

#include <cstdlib>
#include <filesystem>
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

void LinkProgramData(const std::string& folder) {
    const std::filesystem::path build = BuildProgramDir();
    for (const char* name : DataFiles)
        std::filesystem::create_symlink(build / name, folder + name);
}
