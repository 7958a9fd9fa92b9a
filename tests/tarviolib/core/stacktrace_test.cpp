#include "tarviolib/core/stacktrace.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

TEST(StackTraceTest, SevenFramesAreNumberedSixDownToZero) {
    Array<Detail::StackFrameSymbol> frames;
    for (int i = 0; i < 7; ++i) {
        Detail::StackFrameSymbol frame;
        frame.name = i == 1 ? String() : String("f") + toString(i);
        frame.address = 0x4010A0 + i;
        frames.append(frame);
    }
    const String trace = Detail::formatStackTrace(frames);
    EXPECT_EQ(trace, L" 6 f0  0x4010a0\n"
                     L" 5 Unknown symbol  0x4010a1\n"
                     L" 4 f2  0x4010a2\n"
                     L" 3 f3  0x4010a3\n"
                     L" 2 f4  0x4010a4\n"
                     L" 1 f5  0x4010a5\n"
                     L" 0 f6  0x4010a6\n");
}

TEST(StackTraceTest, CapturedTraceEndsWithFrameZero) {
    const String trace = captureStackTrace();
    ASSERT_FALSE(trace.isEmpty());
    const Array<String> lines = trace.split(L"\n", true);
    EXPECT_LE(lines.size(), 7);
    EXPECT_EQ(lines[lines.size() - 1].substr(0, 3), L" 0 ");
    for (const String& line : lines) {
        EXPECT_NE(line.find(L"  0x"), String::NotFound) << line;
    }
}

} // namespace
} // namespace Tarvio
