#pragma once

namespace Tarvio {

// The product needs a 64-bit Windows 7 or newer; the installer itself is a 32-bit program.

// Windows 6.1 or newer, with or without a service pack.
bool isWindows7OrNewer();
// The process runs under the 32-bit emulation of a 64-bit Windows; false when that cannot be told.
bool is64BitWindows();

} // namespace Tarvio
