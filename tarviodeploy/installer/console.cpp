#include "tarviodeploy/installer/console.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

namespace Tarvio {

bool attachParentConsole() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    reopenStandardStreams();
    return true;
}

bool allocateConsole() {
    if (!AllocConsole()) {
        return false;
    }
    reopenStandardStreams();
    return true;
}

void reopenStandardStreams() {
    // A failed reopen leaves the stream closed; there is nowhere to report it.
    (void)std::freopen("CONIN$", "r", stdin);
    (void)std::freopen("CONOUT$", "w", stdout);
    (void)std::freopen("CONOUT$", "w", stderr);
    std::ios::sync_with_stdio(true);
}

bool hasStandardOutput() {
    return GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
}

} // namespace Tarvio
