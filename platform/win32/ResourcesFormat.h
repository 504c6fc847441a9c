#pragma once
// The check a resource file passes before Qt reads it. Qt trusts every
// offset inside a registered resource file, so a damaged file must be caught
// here: every node reachable from the root, its name and its data must lie
// inside the file.

#include <QByteArray>

// True when `data` is a well-formed Qt binary resource file (format versions
// 1 to 3) whose entries are all stored uncompressed.
bool IsUncompressedResourceFile(const QByteArray& data);
