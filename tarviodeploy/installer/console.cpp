#include "tarviodeploy/installer/console.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

namespace Tarvio {

namespace {

// Which standard streams the process was given somewhere to go: a file or pipe it was redirected
// into (by "> install.txt" or by a tool that captures its output), or a console.
struct StandardStreams {
    bool input;
    bool output;
    bool error;
};

bool hasOwnHandle(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Asked before the console is taken, which may give the missing handles console ones that the
// runtime's files, set up at start, know nothing of.
StandardStreams ownStandardStreams() {
    return {hasOwnHandle(STD_INPUT_HANDLE), hasOwnHandle(STD_OUTPUT_HANDLE), hasOwnHandle(STD_ERROR_HANDLE)};
}

// Reopens on the console devices the runtime's standard files that had nowhere to go; reopening a
// redirected one would send its lines to the console instead of the file.
void reopenStandardStreams(const StandardStreams& own) {
    // A failed reopen leaves the stream closed; there is nowhere to report it.
    if (!own.input) {
        (void)std::freopen("CONIN$", "r", stdin);
    }
    if (!own.output) {
        (void)std::freopen("CONOUT$", "w", stdout);
    }
    if (!own.error) {
        (void)std::freopen("CONOUT$", "w", stderr);
    }
    std::ios::sync_with_stdio(true);
}

} // namespace

bool attachParentConsole() {
    const StandardStreams own = ownStandardStreams();
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    reopenStandardStreams(own);
    return true;
}

bool allocateConsole() {
    const StandardStreams own = ownStandardStreams();
    if (!AllocConsole()) {
        return false;
    }
    reopenStandardStreams(own);
    return true;
}

void releaseConsole() {
    // Fails only when there is no console, which is the usual case.
    (void)FreeConsole();
}

bool hasStandardOutput() {
    return GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
}

} // namespace Tarvio
