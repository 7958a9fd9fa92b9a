#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// Opens a document or folder with the shell's "open" verb; false when the shell refused.
bool openInShell(const Io::Path& path);

// Opens a web address in the default browser.
bool openUrl(const String& address);

} // namespace Tarvio
