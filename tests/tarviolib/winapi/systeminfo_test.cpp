#include "tarviolib/winapi/systeminfo.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/winapi/module.h"
#include "tarviolib/winapi/process.h"

#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

namespace Tarvio::SystemInfo {
namespace {

TEST(SystemInfoTest, FeatureBitsComeFromTheirCpuidBits) {
    const struct {
        uint32_t leaf1Ecx;
        uint32_t leaf7Ebx;
        uint32_t features;
    } cases[] = {
        {1u << 19, 0, CpuFeature::Sse41}, // SSE4.1 without SSE4.2
        {1u << 20, 0, CpuFeature::Sse42},
        {(1u << 0) | (1u << 9) | (1u << 12) | (1u << 28) | (1u << 29) | (1u << 30), 0,
         CpuFeature::Sse3 | CpuFeature::Ssse3 | CpuFeature::Fma | CpuFeature::Avx | CpuFeature::F16c |
             CpuFeature::Rdrand},
        {0, (1u << 3) | (1u << 4) | (1u << 5) | (1u << 8),
         CpuFeature::Bmi1 | CpuFeature::Hle | CpuFeature::Avx2 | CpuFeature::Bmi2},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 4095}, // nothing above Hle
        {1u << 5, 1u << 19, 0},           // each register's bits count for their own leaf only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.features);
        EXPECT_EQ(Detail::cpuFeaturesFrom(c.leaf1Ecx, c.leaf7Ebx), c.features);
    }
}

TEST(SystemInfoTest, VendorTextsAreComparedExactly) {
    const struct {
        const char* text;
        CpuVendor vendor;
    } cases[] = {
        {"AMDisbetter!", CpuVendor::Amd},   {"AuthenticAMD", CpuVendor::Amd},
        {"GenuineIntel", CpuVendor::Intel}, {"genuineintel", CpuVendor::Unknown},
        {"CentaurHauls", CpuVendor::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Detail::cpuVendorFrom(c.text), c.vendor);
    }
}

TEST(SystemInfoTest, RunsOfBlanksBecomeOne) {
    const struct {
        const wchar_t* text;
        const wchar_t* collapsed;
    } cases[] = {
        {L"Intel(R)  Core(TM)   i7 CPU", L"Intel(R) Core(TM) i7 CPU"},
        {L"    AMD Ryzen  ", L" AMD Ryzen "},
        {L"plain", L"plain"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Detail::collapseBlankRuns(c.text), c.collapsed);
    }
}

TEST(SystemInfoTest, ProcessorQueriesAreSane) {
    const uint32_t features = cpuFeatures();
    EXPECT_EQ(features & ~4095u, 0u);
    EXPECT_NE(features & CpuFeature::Sse3, 0u); // every processor that runs the tests has it

    const CpuVendor vendor = cpuVendor();
    EXPECT_TRUE(vendor == CpuVendor::Intel || vendor == CpuVendor::Amd);

    const String name = processorName();
    EXPECT_EQ(name.find(L"  "), String::NotFound);
    EXPECT_LE(name.size(), 511);
    EXPECT_EQ(processorName(), name);

    const ProcessorCounts counts = processorCounts();
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    EXPECT_EQ(counts.logicalProcessors, static_cast<int32_t>(system.dwNumberOfProcessors));
    EXPECT_GE(counts.packages, 1);
    EXPECT_GE(counts.cores, counts.packages);
    EXPECT_LE(counts.cores, counts.logicalProcessors);

    EXPECT_GT(physicalMemorySize(), 64u * 1024 * 1024);
}

TEST(SystemInfoTest, TheSeamTakesAwayOnlySse41) {
    const uint32_t features = cpuFeatures();
    const Testing::ScopedEnvironmentVariable lesser(L"TARVIO_TEST_SYSTEM", L"32-bit-windows,no-sse41");
    EXPECT_EQ(cpuFeatures(), features & ~CpuFeature::Sse41);
}

TEST(SystemInfoTest, MemoryStatisticsHaveSixLines) {
    const String text = memoryStatistics(L"the tests");
    const Array<String> lines = text.split(L"\n", false);
    ASSERT_EQ(lines.size(), 7); // six ended lines and nothing after the last
    const auto endsWith = [](const String& line, const String& end) {
        return line.size() >= end.size() && line.substr(line.size() - end.size()) == end;
    };
    EXPECT_TRUE(endsWith(lines[0], L" of virtualized* RAM used by the tests")) << lines[0];
    EXPECT_TRUE(endsWith(lines[1], L" of virtualized* RAM used by all running applications")) << lines[1];
    EXPECT_EQ(lines[2], formatByteSize(physicalMemorySize()) + L" of physical RAM installed on system");
    EXPECT_TRUE(endsWith(lines[3], L" of virtualized* RAM provided by OS")) << lines[3];
    EXPECT_EQ(lines[4], L"");
    EXPECT_EQ(lines[5], L"* virtualized RAM means physical RAM + swap file on HDD/SSD");
    EXPECT_EQ(lines[6], L"");
    EXPECT_NE(lines[0].find(L"0 B of"), 0); // this process has committed memory
}

TEST(SystemInfoTest, TheOutOfMemoryReportShowsTheStatistics) {
    const BadAlloc failure(1024);
    EXPECT_NE(std::strstr(failure.what(), " of virtualized* RAM used by application\n"), nullptr) << failure.what();
    EXPECT_NE(std::strstr(failure.what(), " of physical RAM installed on system\n"), nullptr);
}

int32_t count(const Array<String>& names, const String& name) {
    int32_t found = 0;
    for (const String& listed : names) {
        found += listed == name ? 1 : 0;
    }
    return found;
}

TEST(SystemInfoTest, RunningProcessesAreListedByExecutableName) {
    const Io::Path child = WinApi::executablePath().parent() / L"tarviolib_winapi_testchild.exe";
    const WinApi::Process first(child, {L"sleep", L"600000"}, 0);
    const WinApi::Process second(child, {L"sleep", L"600000"}, 0);

    const Array<String> names = runningProcessNames();
    EXPECT_EQ(count(names, L"tarviolib_winapi_testchild.exe"), 2);
    EXPECT_EQ(count(names, L"tarviolib_winapi_tests.exe"), 1);

    // Every process but an idle one of PID 0 is listed, the first one included.
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    ASSERT_TRUE(Process32FirstW(snapshot, &entry));
    CloseHandle(snapshot);
    if (entry.th32ProcessID != 0) {
        EXPECT_GE(count(names, entry.szExeFile), 1) << String(entry.szExeFile);
    } else {
        EXPECT_EQ(count(names, entry.szExeFile), 0);
    }
}

} // namespace
} // namespace Tarvio::SystemInfo
