#pragma once

// A file held open for a while the way a virus scanner or the search indexer reads a file that has
// just been written: others may read and write it, but nobody may delete it or rename over it.

#include "tarviolib/io/path.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

namespace Tarvio::Testing {

class FileHolder {
public:
    // Opens the file now and closes it from a thread of its own after the time.
    FileHolder(const Io::Path& path, std::chrono::milliseconds time)
        : mHandle(CreateFileW(path.toNative().text(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr)) {
        EXPECT_NE(mHandle, INVALID_HANDLE_VALUE) << "cannot hold " << path.toString().toUtf8().text();
        mLetGo = std::thread([this, time] {
            std::this_thread::sleep_for(time);
            CloseHandle(mHandle);
        });
    }
    ~FileHolder() { mLetGo.join(); }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

private:
    HANDLE mHandle;
    std::thread mLetGo;
};

} // namespace Tarvio::Testing
