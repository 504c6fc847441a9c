#pragma once

#include <string>

// A file of the program folder (KORVEL_PROGRAM_DIR, set by the test runner).
std::string ProgramFile(const std::string& name);

// A file's whole content.
std::string ReadFile(const std::string& path);
