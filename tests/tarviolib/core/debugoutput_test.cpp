#include "tarviolib/core/debugoutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tarvio {
namespace {

class DebugOutputTest : public testing::Test {
protected:
    void capture(bool enabled, Detail::DebugClockTime time = {9, 5, 7}) {
        Detail::overrideDebugOutput(
            enabled, [time] { return time; },
            [this](const wchar_t* line) { mLines.push_back(line); });
    }

    void TearDown() override { Detail::restoreDebugOutput(); }

    std::vector<std::wstring> mLines;
};

TEST_F(DebugOutputTest, WritesNothingWhileOff) {
    capture(false);
    EXPECT_FALSE(isDebugOutputEnabled());
    std::wostringstream stream;
    stream << L"hidden";
    debugOutput(stream);
    debugLog("a", 1, "b", 2);
    EXPECT_TRUE(mLines.empty());
}

TEST_F(DebugOutputTest, PrefixesTheTimeWithoutLeadingZerosAndIndentsContinuationLines) {
    capture(true);
    EXPECT_TRUE(isDebugOutputEnabled());
    std::wostringstream stream;
    stream << L"first\nsecond\n\nthird";
    debugOutput(stream);

    const std::wstring indent(17, L' ');
    ASSERT_EQ(mLines.size(), 1u);
    EXPECT_EQ(mLines[0], L"#TARVIO (9:5:7)  first\n" + indent + L"second\n" + indent + L"\n" + indent + L"third\n");
}

TEST_F(DebugOutputTest, LogJoinsTextsAndPlainDecimalNumbersWithBlanks) {
    capture(true);
    debugLog("Waited", 1234567, "ms, tasks", -3);
    ASSERT_EQ(mLines.size(), 1u);
    EXPECT_EQ(mLines[0], L"#TARVIO (9:5:7)  Waited 1234567 ms, tasks -3\n");
}

TEST_F(DebugOutputTest, TwoDigitTimesWidenThePrefixAndTheIndent) {
    capture(true, {23, 59, 10});
    std::wostringstream stream;
    stream << L"a\nb";
    debugOutput(stream);
    ASSERT_EQ(mLines.size(), 1u);
    EXPECT_EQ(mLines[0], L"#TARVIO (23:59:10)  a\n" + std::wstring(20, L' ') + L"b\n");
}

} // namespace
} // namespace Tarvio
