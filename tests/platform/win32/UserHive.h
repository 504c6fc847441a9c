#pragma once
// The current user's hive file as the test environment places it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::filesystem::path HivePath() {
    return std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "Korvel" / "registry";
}

inline std::string HiveText() {
    std::ifstream file(HivePath(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
