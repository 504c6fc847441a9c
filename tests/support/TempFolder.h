#pragma once
// A folder of the test's own under $TMPDIR (default /tmp), made with a
// unique name and removed with everything in it when the object goes.
// The one way tests get a place to write: never the source or build folders.

#include <string>

class TempFolder {
public:
    // `purpose` becomes part of the name, so a left-over folder says whose it was.
    explicit TempFolder(const std::string& purpose = "test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Ends with "/", as the program's folders do.
    const std::string& Path() const { return path_; }
    // Path() + name.
    std::string File(const std::string& name) const { return path_ + name; }
    // Replaces the file (or folder) by one with this content.
    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    void Remove(const std::string& name) const;

private:
    std::string path_;
};
