#pragma once

// The platform's module handle type (HMODULE), without the whole platform header.
struct HINSTANCE__;

namespace Tarvio {

// Where the process looks for the libraries that it, or a library in it, loads by name: the system
// folder alone, where the system can be told so (Windows 7 with its 2011 loader update, and later).
// A library saved beside the program, in a download folder say, is never taken then. False where
// the system cannot; loadSystemLibrary and the delay-loaded imports do not depend on it.
bool restrictLibrarySearchToSystemFolder();

// A system library loaded from the system folder by its full path, whatever lies beside the
// program; null when it cannot be loaded. The delay-loaded imports are resolved through it too.
HINSTANCE__* loadSystemLibrary(const wchar_t* fileName);

} // namespace Tarvio
