#pragma once
// Every test process gets a registry hive of its own: a fresh
// $XDG_CONFIG_HOME that is removed again when the process ends.

#include <string>

class TempConfigHome {
public:
    TempConfigHome();
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
