#pragma once

#ifdef TARVIO_TEST_SEAMS

namespace Tarvio::WinApi {

// Test builds can pretend to run on a lesser machine: the environment variable TARVIO_TEST_SYSTEM
// lists traits separated by commas, read afresh on every question (so a test may change it, and
// programs started from a test inherit it):
//   "no-sse41"          the processor lacks SSE4.1
//   "pre-windows7"      Windows is older than 7
//   "32-bit-windows"    Windows is 32-bit
//   "no-known-folders"  the known-folder query fails
//   "no-temp-path"      the system gives no temporary folder
bool hasTestSystemTrait(const wchar_t* trait);

} // namespace Tarvio::WinApi

#endif
