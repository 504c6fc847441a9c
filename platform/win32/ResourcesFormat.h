#pragma once
// The check a resource file passes before Qt reads it. Qt trusts every
// offset inside a registered resource file, and every lookup of any resource
// walks every registered file, so a damaged file must be caught here: the
// root must be a directory, and every node reachable from it, its name, its
// children and its data must lie inside the file, each node the child of
// one directory that comes before it.

#include <QByteArray>

// True when `data` is a well-formed Qt binary resource file (format versions
// 1 to 3) whose entries are all stored uncompressed.
bool IsUncompressedResourceFile(const QByteArray& data);
