#pragma once
// The user's own folders for the files a program keeps, as the XDG base
// directories name them, and whether a folder takes new files.

#include <string>

// $HOME, else the account's home folder ("/" when there is none).
std::string UserHome();
// $XDG_STATE_HOME (~/.local/state when the variable is unset, empty or
// not absolute): logs and other state worth keeping but not worth saving.
std::string UserStateHome();
// $XDG_DATA_HOME (~/.local/share likewise): records kept between runs.
std::string UserDataHome();

// True when the folder exists and its permissions let this process create
// files in it. The mode bits count for root too, whom the system lets
// write anywhere: a tree made read-only stays read-only for every user.
bool FolderIsWritable(const std::string& folder);

// Creates the folder and every missing parent, private to the user (0700);
// true when the folder exists afterwards.
bool CreateUserFolder(const std::string& folder);
