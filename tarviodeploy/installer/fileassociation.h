#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

namespace Tarvio {

// Registers program for files of extension (without the dot) for the current user, under the
// program identifier prefix + "." + extension, unless any association for that extension exists
// already. True when the association was written completely; reports nothing. Every key created
// and value written reaches the registry observers, so an install context records them.
bool registerFileAssociation(const String& prefix, const Io::Path& program, const String& extension);

// Writes a text value, first creating each missing key of the path ("/" or "\" separated) level by
// level, so that exactly the keys this call created are reported as created. True when the value
// was written.
bool writeRegistryStringCreatingKeys(const String& keyPath, const String& valueName, const String& value);

} // namespace Tarvio
