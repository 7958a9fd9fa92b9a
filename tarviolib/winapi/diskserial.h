#pragma once

#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio::WinApi {

// The serial number that the physical disk of the lowest drive letter from "C" on reports, each
// byte one character; empty when any query fails or the disk reports none.
String physicalDriveSerialNumber();

namespace Detail {
// logicalDrives: the mask of GetLogicalDrives. "A" and "B" are never taken; "C" when none is left.
wchar_t serialNumberDriveLetter(uint32_t logicalDrives);
// descriptor: a storage device descriptor of size bytes; the serial number text at its offset,
// ended by a zero byte or by the end of the descriptor.
String serialNumberFrom(const uint8_t* descriptor, uint32_t size);
} // namespace Detail

} // namespace Tarvio::WinApi
