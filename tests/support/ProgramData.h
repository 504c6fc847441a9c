#pragma once
// The data files the program reads from its folder, as the build made
// them: tests link them into a program folder of their own.

#include <string>

// The build's program folder (KORVEL_PROGRAM_DIR), ending with "/".
std::string BuildProgramDir();

// Links the build's data files (language file, packs, previews, songs,
// help) into `folder`, which ends with "/".
void LinkProgramData(const std::string& folder);
