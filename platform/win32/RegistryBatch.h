#pragma once
// Changes of HKEY_CURRENT_USER that belong together, written as one: while
// a batch lives, the calling thread's changes of the hive are kept in
// memory (its own reads see them), and the end of the outermost batch
// writes them all with one replace of the hive file, instead of one replace
// per change. Meanwhile the hive stays locked against other copies of the
// program, so a batch is short and runs no message loop.
//
// Ending, also by an exception, writes what was changed up to then. A hive
// that cannot be read leaves the batch without effect: each change then
// fails on its own as without a batch. When the hive cannot be written at
// the end, the file keeps what it had.

#include <optional>

#include "platform/win32/HiveFile.h"

class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

private:
    // The hive the batch was begun on; none when it could not be begun.
    std::optional<HiveFile> hive_;
};
