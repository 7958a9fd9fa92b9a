#pragma once

// How many threads this process has, for tests that show threads starting and ending.

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <thread>

namespace Tarvio::Testing {

inline int processThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

// A joined thread may take a moment to leave the system's list: waits up to two seconds for the
// count to come down to expected, and answers the last count seen.
inline int processThreadCountSettlingAt(int expected) {
    int count = processThreadCount();
    for (int i = 0; i < 200 && count > expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        count = processThreadCount();
    }
    return count;
}

} // namespace Tarvio::Testing
