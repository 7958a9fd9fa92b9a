#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// The previous installer generation kept no install database: it remembered the folders of three
// side programs as text values of this key, and left libraries that newer builds no longer use.
// Nothing here logs or reports a failure: what cannot be removed stays.

constexpr const wchar_t* LegacyProductKeyPath = L"HKEY_CURRENT_USER\\Software\\TarvioRenderer";

// A side program of the previous generation: the value naming its folder, and the files of ours
// in that folder.
struct LegacySideProgram {
    const wchar_t* valueName;
    const wchar_t* fileNames[2]; // null where there is no second file
    // The standalone renderer's value stays, and its folder also loses the obsolete libraries.
    bool keepsValue;
};

extern const LegacySideProgram legacyDrServer;
extern const LegacySideProgram legacyLicensingServer;
extern const LegacySideProgram legacyStandalone;

// Whether a folder read from the registry or the install database may be cleaned: an empty or
// relative one would name files in the working folder instead.
bool isCleanableFolder(const Io::Path& folder);

// Removes the files of the program from the folder its value names, then the folder when it is
// empty; then deletes the value or, for the standalone renderer, removes the obsolete libraries.
// Does nothing without the value; a value that names no cleanable folder removes no file but is
// deleted all the same.
void removeLegacySideProgram(const LegacySideProgram& program, const String& keyPath = LegacyProductKeyPath);

// Removes each library that newer builds no longer use that is a file directly in a cleanable
// folder.
void removeObsoleteLibraries(const Io::Path& folder);

} // namespace Tarvio
