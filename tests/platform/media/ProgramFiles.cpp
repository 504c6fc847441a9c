#include "tests/platform/media/ProgramFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string ProgramFile(const std::string& name) {
    const char* folder = std::getenv("KORVEL_PROGRAM_DIR");
    if (!folder)
        throw std::runtime_error("KORVEL_PROGRAM_DIR is not set");
    return std::string(folder) + "/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
