#include "platform/win32/RegistryBatch.h"

RegistryBatch::RegistryBatch() {
    try {
        HiveFile hive;
        hive.BeginBatch();
        hive_ = std::move(hive);
    } catch (const HiveFileError&) {
    }
}

RegistryBatch::~RegistryBatch() {
    if (!hive_)
        return;
    try {
        hive_->EndBatch();
    } catch (const HiveFileError&) {
    }
}
