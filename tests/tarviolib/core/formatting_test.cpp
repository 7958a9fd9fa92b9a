#include "pinnednumberformat.h"

#include "tarviolib/core/formatting.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

class FormattingTest : public ::testing::Test {
protected:
    void SetUp() override { Testing::pinEnglishNumberFormat(); }
    void TearDown() override { Testing::pinEnglishNumberFormat(); }
};

TEST_F(FormattingTest, ByteSizes) {
    struct Case {
        uint64_t bytes;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, L"0 B"},
        {1023, L"1023 B"},
        {1024, L"1 KiB"},
        {1536, L"1.5 KiB"},
        {(1ull << 20) - 1, L"1,024 KiB"},
        {(1ull << 30) - 1, L"1,024 MiB"},
        {1ull << 30, L"1 GiB"},
        {(9ull << 30) / 4, L"2.3 GiB"}, // 2.25 rounds away from zero
        {1ull << 50, L"1,048,576 GiB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatByteSize(c.bytes), c.expected) << c.bytes;
    }
}

TEST_F(FormattingTest, Numbers) {
    struct Case {
        double x;
        int32_t decimals;
        const wchar_t* fixed;
        const wchar_t* number;
    };
    const Case cases[] = {
        {2.0, 3, L"2.000", L"2"},
        {2.50, 2, L"2.50", L"2.5"},
        {2.25, 1, L"2.3", L"2.3"},
        {-2.25, 1, L"-2.3", L"-2.3"},
        {1234567.891, 2, L"1,234,567.89", L"1,234,567.89"},
        {1000.0, 0, L"1,000", L"1,000"},
        {100.0, 0, L"100", L"100"},
        {0.04, 1, L"0.0", L"0"},
        {5.0, -2, L"5", L"5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatFixed(c.x, c.decimals), c.fixed) << c.x << " / " << c.decimals;
        EXPECT_EQ(formatNumber(c.x, c.decimals), c.number) << c.x << " / " << c.decimals;
    }
}

TEST_F(FormattingTest, Counts) {
    struct Case {
        uint64_t count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, L"0"},
        {999, L"999"},
        {1000, L"1,000"},
        {99999999, L"99,999,999"},
        {100000000, L"100 M"},
        {123456789, L"123 M"},
        {1234567890123ull, L"1,234,567 M"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatCount(c.count), c.expected) << c.count;
    }
}

TEST_F(FormattingTest, OtherLocalesSeparatorsAndGroupings) {
    setNumberFormatForTesting(NumberFormat{L',', L".", L"3;0"});
    EXPECT_EQ(decimalSeparator(), L',');
    EXPECT_EQ(formatNumber(1234.5, 1), L"1.234,5");
    EXPECT_EQ(formatNumber(1234.0, 1), L"1.234");
    EXPECT_EQ(formatByteSize(1536), L"1,5 KiB");

    setNumberFormatForTesting(NumberFormat{L'.', L",", L"3;2;0"});
    EXPECT_EQ(formatCount(12345678), L"1,23,45,678");
    setNumberFormatForTesting(NumberFormat{L'.', L",", L"3"});
    EXPECT_EQ(formatCount(1234567), L"1234,567");
    setNumberFormatForTesting(NumberFormat{L'.', L"", L"0"});
    EXPECT_EQ(formatCount(1234567), L"1234567");
    setNumberFormatForTesting(NumberFormat{L'.', String(static_cast<wchar_t>(0xA0), 1), L"3;0"});
    EXPECT_EQ(formatCount(1234567), String(L"1\xA0" L"234\xA0" L"567"));
}

TEST_F(FormattingTest, DateTime) {
    LocalDateTime time;
    time.year = 2026;
    time.month = 2;
    time.day = 3;
    time.hours = 9;
    time.minutes = 5;
    time.seconds = 7;
    EXPECT_EQ(formatDateTime(DateTimeDate | DateTimeTime, time), L"2026-02-03 09:05:07");
    EXPECT_EQ(formatDateTime(DateTimeDate, time), L"2026-02-03");
    EXPECT_EQ(formatDateTime(DateTimeTime, time), L"09:05:07");
    EXPECT_EQ(formatDateTime(0, time), L"");
    time.hours = 23;
    EXPECT_EQ(formatDateTime(DateTimeTime, time), L"23:05:07");
}

TEST_F(FormattingTest, CurrentDateTimeHasTheFixedShape) {
    const String now = formatDateTime(DateTimeDate | DateTimeTime);
    ASSERT_EQ(now.size(), 19) << now;
    EXPECT_EQ(now[4], L'-');
    EXPECT_EQ(now[10], L' ');
    EXPECT_EQ(now[13], L':');
}

TEST_F(FormattingTest, Join) {
    struct Case {
        Array<String> items;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {{}, L""},
        {{L"a"}, L"a"},
        {{L"a", L"b"}, L"a and b"},
        {{L"a", L"b", L"c"}, L"a, b and c"},
        {{L"a", L"b", L"c", L"d"}, L"a, b, c and d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(join(c.items, L", ", L" and "), c.expected);
    }
}

} // namespace
} // namespace Tarvio
