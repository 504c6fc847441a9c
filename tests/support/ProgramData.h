#pragma once
// The data files the program reads from its folder, as the build made
// them: tests link them into a program folder of their own.

#include <string>

// The build's program folder (KORVEL_PROGRAM_DIR), ending with "/".
std::string BuildProgramDir();

// A file of the build's program folder.
std::string ProgramFile(const std::string& name);

// A file's whole content; std::runtime_error when it cannot be read.
std::string FileContent(const std::string& path);

// Links the build's data files (language file, packs, previews, songs,
// help) into `folder`, which ends with "/".
void LinkProgramData(const std::string& folder);
