#pragma once
// Small resource files for the loader's tests, bound by rcc in a temporary
// folder that is removed with the fixture.

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <map>
#include <optional>
#include <string>

class PackFixture {
public:
    PackFixture();

    struct Contents {
        std::map<std::string, QImage> bitmaps;
        std::optional<std::string> strings; // none: no string table at all
        bool compressed = false;
    };
    // A pack file named `name` with the given contents; returns its path.
    std::string Make(const std::string& name, const Contents& contents);
    // A file named `name` holding exactly `bytes`; returns its path.
    std::string Write(const std::string& name, const QByteArray& bytes);
    std::string Path(const std::string& name) const;

private:
    QTemporaryDir dir_;
};

// Two bitmaps and a string table with a short number, a long text and an
// empty entry.
PackFixture::Contents SmallPack();
