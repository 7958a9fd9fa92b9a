#include "pinnednumberformat.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace Tarvio {
namespace {

const std::string ReportHead =
    "Bad allocation Exception!\nTarvio ran out of RAM an was unable to allocate memory it needs for rendering. "
    "This can be caused by rendering too big scene with not enough RAM, or an internal bug in Tarvio. Contact our "
    "support for more info.\n\nDebugging details:\nWanted to allocate: ";

TEST(ExceptionTest, MessageIsKeptInUtf8) {
    const Exception exception(String::fromUtf8("caf\xC3\xA9"));
    EXPECT_STREQ(exception.what(), "caf\xC3\xA9");
    EXPECT_EQ(exceptionMessage(exception), String::fromUtf8("caf\xC3\xA9"));
    const Exception copy(exception);
    EXPECT_STREQ(copy.what(), "caf\xC3\xA9");
}

TEST(ExceptionTest, EmptyMessageGivesEmptyWhat) {
    EXPECT_STREQ(Exception(String()).what(), "");
}

TEST(ExceptionTest, ThrowException) {
    try {
        throwException(L"went wrong");
        FAIL() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_EQ(exceptionMessage(exception), L"went wrong");
    }
}

TEST(BadAllocTest, IsAStandardBadAllocAndNotAnException) {
    bool caughtAsException = false;
    bool caughtAsBadAlloc = false;
    try {
        try {
            throw BadAlloc(64);
        } catch (const Exception&) {
            caughtAsException = true;
        }
    } catch (const std::bad_alloc&) {
        caughtAsBadAlloc = true;
    }
    EXPECT_FALSE(caughtAsException);
    EXPECT_TRUE(caughtAsBadAlloc);
}

// The report's trace lines: " <n> <name>  0x<hex>\n", numbered down to 0.
void expectWellFormedTrace(const std::string& trace) {
    ASSERT_FALSE(trace.empty());
    ASSERT_EQ(trace.back(), '\n');
    std::size_t start = 0;
    int expectedNumber = -1;
    while (start < trace.size()) {
        const std::size_t end = trace.find('\n', start);
        const std::string line = trace.substr(start, end - start);
        ASSERT_EQ(line[0], ' ') << line;
        const int number = std::stoi(line.substr(1));
        if (expectedNumber >= 0) {
            EXPECT_EQ(number, expectedNumber) << line;
        }
        expectedNumber = number - 1;
        const std::size_t hex = line.rfind("  0x");
        ASSERT_NE(hex, std::string::npos) << line;
        EXPECT_GT(line.size(), hex + 4) << line;
        EXPECT_EQ(line.find_first_not_of("0123456789abcdef", hex + 4), std::string::npos) << line;
        start = end + 1;
    }
    EXPECT_EQ(expectedNumber, -1) << "the last line carries 0";
}

TEST(BadAllocTest, ReportNamesSizeAndStackTrace) {
    Testing::pinEnglishNumberFormat();
    const std::string report = BadAlloc(1536).what();
    const std::string head = ReportHead + "1.5 KiB\n\nStack trace:\n";
    ASSERT_EQ(report.compare(0, head.size(), head), 0) << report;
    expectWellFormedTrace(report.substr(head.size()));
}

String fixedStatistics(const String& scope) {
    return "Memory of " + scope + ": 12 MiB";
}

TEST(BadAllocTest, ReportCarriesMemoryStatisticsOnceProvided) {
    Testing::pinEnglishNumberFormat();
    setMemoryStatisticsProvider(&fixedStatistics);
    const std::string report = BadAlloc(2048).what();
    setMemoryStatisticsProvider(nullptr);
    const std::string head = ReportHead + "2 KiB\n\nMemory of application: 12 MiB\nStack trace:\n";
    EXPECT_EQ(report.compare(0, head.size(), head), 0) << report;
}

String failingStatistics(const String&) {
    // An allocation that fails: the report cannot be built from here. A 64-bit process is given
    // 1.5 GiB, so there a size the allocator itself refuses takes the same road.
#if defined(_WIN64)
    HeapAllocator::allocate(-1, 16);
#else
    HeapAllocator::allocate(0x60000000, 16);
#endif
    return String();
}

String throwingStatistics(const String&) {
    throwException(L"statistics unavailable");
}

TEST(BadAllocTest, FailureWhileReportingGivesTheShortReport) {
    for (MemoryStatisticsProvider provider : {&failingStatistics, &throwingStatistics}) {
        setMemoryStatisticsProvider(provider);
        const BadAlloc failure(100);
        setMemoryStatisticsProvider(nullptr);
        EXPECT_STREQ(failure.what(), "Bad allocation Exception!");
    }
}

TEST(BadAllocTest, CopyKeepsTheReport) {
    const BadAlloc original(10);
    const BadAlloc copy(original);
    EXPECT_STREQ(copy.what(), original.what());
    EXPECT_GT(std::strlen(copy.what()), ReportHead.size());
}

} // namespace
} // namespace Tarvio
