#include "tarviodeploy/shared/databaseregistryrecorder.h"

namespace Tarvio {

void DatabaseRegistryRecorder::onKeyCreated(const String& keyPath) {
    if (mEntry) {
        mEntry->addRegistryKey(keyPath);
    } else if (mDatabase != nullptr) {
        mDatabase->addRegistryKey(keyPath);
    }
}

void DatabaseRegistryRecorder::onKeyDeleted(const String&) {}

void DatabaseRegistryRecorder::onValueWritten(const String& keyPath, const String& valueName) {
    if (mEntry) {
        mEntry->addRegistryValue(keyPath, valueName);
    } else if (mDatabase != nullptr) {
        mDatabase->addRegistryValue(keyPath, valueName);
    }
}

void DatabaseRegistryRecorder::onValueDeleted(const String&, const String&) {}

} // namespace Tarvio
