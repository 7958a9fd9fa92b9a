#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio::Io {

// A name that, joined to a folder, stays inside it, on Windows as on any other system: parts
// separated by "/", none of them empty, "." or "..", and nothing that Windows reads as a path of
// its own or changes on the way: no "\", no ":" (a drive or a stream), no control character, no
// character that Windows refuses in a name (< > " | ? *), no device name (CON, NUL, COM1... with
// or without an extension), and no part that ends in a dot or a blank, which Windows strips
// ("... " and ".." name the same folder). Letter case, inner dots and blanks, and letters beyond
// ASCII are plain names.
bool isContainedRelativePath(const String& name);

} // namespace Tarvio::Io
