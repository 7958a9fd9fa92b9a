#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// The bits of SystemInfo::cpuFeatures.
namespace CpuFeature {
constexpr uint32_t Sse3 = 1;
constexpr uint32_t Ssse3 = 2;
constexpr uint32_t Sse41 = 4;
constexpr uint32_t Sse42 = 8;
constexpr uint32_t Avx = 16;
constexpr uint32_t Avx2 = 32;
constexpr uint32_t Bmi1 = 64;
constexpr uint32_t Bmi2 = 128;
constexpr uint32_t Fma = 256;
constexpr uint32_t F16c = 512;
constexpr uint32_t Rdrand = 1024;
constexpr uint32_t Hle = 2048;
} // namespace CpuFeature

enum class CpuVendor : int32_t { Unknown = 0, Intel = 1, Amd = 2 };

struct ProcessorCounts {
    int32_t packages = 0;
    int32_t cores = 0;
    int32_t logicalProcessors = 0;
};

// Plain queries about the machine: what cannot be read is zero, empty or Unknown.
namespace SystemInfo {

// CPUID as reported, without asking whether the system enables the wider registers.
uint32_t cpuFeatures();
CpuVendor cpuVendor();
// From the registry, with runs of blanks made single; read once per process.
String processorName();
uint64_t physicalMemorySize();
ProcessorCounts processorCounts();
// The active logical processors of all processor groups, counted once per process.
int32_t logicalProcessorCount();
// Six lines, each ended by "\n", on the memory used by applicationName, by all applications, and
// what the machine has. Also feeds the out-of-memory report.
String memoryStatistics(const String& applicationName);
// The executable file names of the running processes, in snapshot order, duplicates kept.
Array<String> runningProcessNames();

namespace Detail {
uint32_t cpuFeaturesFrom(uint32_t leaf1Ecx, uint32_t leaf7Ebx);
// vendorText: the 12 characters of CPUID leaf 0.
CpuVendor cpuVendorFrom(const char* vendorText);
String collapseBlankRuns(String text);
} // namespace Detail

} // namespace SystemInfo

} // namespace Tarvio
