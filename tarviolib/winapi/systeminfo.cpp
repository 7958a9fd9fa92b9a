#include "tarviolib/winapi/systeminfo.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/buffer.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/winapi/registry.h"
#include "tarviolib/winapi/testsystem.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cpuid.h>
#include <cstring>

namespace Tarvio::SystemInfo {

namespace {

struct CpuidBit {
    uint32_t feature;
    int leaf;
    int bit;
};

// leaf 1 bits are in ECX, leaf 7 bits in EBX.
constexpr CpuidBit CpuidBits[] = {
    {CpuFeature::Sse3, 1, 0},    {CpuFeature::Ssse3, 1, 9},  {CpuFeature::Sse41, 1, 19},
    {CpuFeature::Sse42, 1, 20},  {CpuFeature::Avx, 1, 28},   {CpuFeature::Avx2, 7, 5},
    {CpuFeature::Bmi1, 7, 3},    {CpuFeature::Bmi2, 7, 8},   {CpuFeature::Fma, 1, 12},
    {CpuFeature::F16c, 1, 29},   {CpuFeature::Rdrand, 1, 30}, {CpuFeature::Hle, 7, 4},
};

MEMORYSTATUSEX globalMemoryStatus() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status;
}

// The out-of-memory report asks for the statistics through a hook.
const bool gStatisticsRegistered = (setMemoryStatisticsProvider(&memoryStatistics), true);

} // namespace

int32_t logicalProcessorCount() {
    static const int32_t count = [] {
        int32_t sum = 0;
        for (WORD group = 0; group < GetActiveProcessorGroupCount(); ++group) {
            sum += static_cast<int32_t>(GetActiveProcessorCount(group));
        }
        return sum;
    }();
    return count;
}

namespace Detail {

uint32_t cpuFeaturesFrom(uint32_t leaf1Ecx, uint32_t leaf7Ebx) {
    uint32_t features = 0;
    for (const CpuidBit& entry : CpuidBits) {
        const uint32_t reg = entry.leaf == 1 ? leaf1Ecx : leaf7Ebx;
        if ((reg >> entry.bit) & 1) {
            features |= entry.feature;
        }
    }
    return features;
}

CpuVendor cpuVendorFrom(const char* vendorText) {
    const auto is = [vendorText](const char* name) { return std::memcmp(vendorText, name, 12) == 0; };
    if (is("AMDisbetter!") || is("AuthenticAMD")) {
        return CpuVendor::Amd;
    }
    return is("GenuineIntel") ? CpuVendor::Intel : CpuVendor::Unknown;
}

String collapseBlankRuns(String text) {
    while (text.replaceAll(L"  ", L" ") > 0) {
    }
    return text;
}

} // namespace Detail

uint32_t cpuFeatures() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(1, eax, ebx, ecx, edx);
    const uint32_t leaf1Ecx = ecx;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    uint32_t features = Detail::cpuFeaturesFrom(leaf1Ecx, ebx);
#ifdef TARVIO_TEST_SEAMS
    if (WinApi::hasTestSystemTrait(L"no-sse41")) {
        features &= ~CpuFeature::Sse41;
    }
#endif
    return features;
}

CpuVendor cpuVendor() {
    unsigned eax = 0, registers[3] = {};
    __cpuid(0, eax, registers[0], registers[2], registers[1]); // EBX, EDX, ECX is the text's order
    char text[12];
    std::memcpy(text, registers, sizeof(text));
    return Detail::cpuVendorFrom(text);
}

String processorName() {
    static wchar_t cache[512];
    static bool filled = false;
    if (filled) {
        return String(cache);
    }
    filled = true;
    const Optional<String> name = WinApi::Registry::readString(
        L"HKEY_LOCAL_MACHINE/HARDWARE/DESCRIPTION/System/CentralProcessor/0", L"ProcessorNameString");
    if (!name) {
        return String();
    }
    const String collapsed = Detail::collapseBlankRuns(*name);
    const int32_t length = collapsed.size() < 511 ? collapsed.size() : 511;
    std::memcpy(cache, collapsed.text(), sizeof(wchar_t) * static_cast<std::size_t>(length));
    cache[length] = L'\0';
    return String(cache);
}

uint64_t physicalMemorySize() {
    return globalMemoryStatus().ullTotalPhys;
}

ProcessorCounts processorCounts() {
    ProcessorCounts counts;
    counts.logicalProcessors = logicalProcessorCount();
    DWORD size = 0;
    GetLogicalProcessorInformationEx(RelationAll, nullptr, &size);
    if (size == 0) {
        return counts;
    }
    Buffer<BYTE> records(static_cast<int32_t>(size));
    std::memset(records.data(), 0, size);
    if (!GetLogicalProcessorInformationEx(
            RelationAll, reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(records.data()), &size)) {
        return counts;
    }
    // Each record carries its own size; one that claims none or runs past the end stops the walk.
    const DWORD headerSize = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor);
    for (DWORD offset = 0; size - offset >= headerSize;) {
        const auto* record = reinterpret_cast<const SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(records.data() + offset);
        if (record->Size == 0 || record->Size > size - offset) {
            break;
        }
        if (record->Relationship == RelationProcessorPackage) {
            ++counts.packages;
        } else if (record->Relationship == RelationProcessorCore) {
            ++counts.cores;
        }
        offset += record->Size;
    }
    return counts;
}

String memoryStatistics(const String& applicationName) {
    PROCESS_MEMORY_COUNTERS process = {};
    process.cb = sizeof(process);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &process, sizeof(process));
    const MEMORYSTATUSEX system = globalMemoryStatus();
    return formatByteSize(process.PagefileUsage) + L" of virtualized* RAM used by " + applicationName + L"\n" +
           formatByteSize(system.ullTotalPageFile - system.ullAvailPageFile) +
           L" of virtualized* RAM used by all running applications\n" + formatByteSize(system.ullTotalPhys) +
           L" of physical RAM installed on system\n" + formatByteSize(system.ullTotalPageFile) +
           L" of virtualized* RAM provided by OS\n\n* virtualized RAM means physical RAM + swap file on HDD/SSD\n";
}

Array<String> runningProcessNames() {
    Array<String> names;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return names;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    BOOL more = Process32FirstW(snapshot, &entry);
    // Windows lists its idle process first; not every emulation of it does.
    if (more && entry.th32ProcessID == 0) {
        more = Process32NextW(snapshot, &entry);
    }
    for (; more; more = Process32NextW(snapshot, &entry)) {
        names.append(String(entry.szExeFile));
    }
    CloseHandle(snapshot);
    return names;
}

} // namespace Tarvio::SystemInfo
