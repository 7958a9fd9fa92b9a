#include "tarviolib/thread/currentthread.h"

#include "tarviolib/core/debugoutput.h"
#include "tarviolib/thread/scopetimer.h"
#include "tarviolib/thread/stopwatch.h"
#include "tarviolib/thread/threadhandle.h"
#include "tests/tarviolib/thread/threadnamerecorder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio {
namespace {

// In a process of its own, so that the recorder is there before the process names its first
// thread (as a crash reporter would be): the library's own handler must not hide the name from it.
TEST(CurrentThreadDeathTest, NameIsAnnouncedInAsciiToHandlersInstalledBeforeTheFirstName) {
    EXPECT_EXIT(
        {
            const Testing::ThreadNameRecorder recorder;
            setCurrentThreadName(String(L"Worker_\u00e9_1"));
            for (const std::string& name : recorder.names()) {
                std::fprintf(stderr, "[%s]", name.c_str());
            }
            std::fflush(stderr);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "^\\[Worker___1\\]$");
}

TEST(CurrentThread, FlushToZeroAndDenormalsAreZeroAreSet) {
    unsigned int before = 0;
    unsigned int after = 0;
    std::thread([&] {
        asm volatile("stmxcsr %0" : "=m"(before));
        enableFlushToZero();
        asm volatile("stmxcsr %0" : "=m"(after));
    }).join();
    EXPECT_EQ(before & 0x8040u, 0u);
    EXPECT_EQ(after & 0x8040u, 0x8040u);
    EXPECT_EQ(after & ~0x8040u, before & ~0x8040u);
}

TEST(ThreadHandle, JoinWithTimeOutKeepsARunningThreadJoinable) {
    std::atomic<bool> release{false};
    ThreadHandle thread = ThreadHandle::start(0x100000, [&] {
        while (!release) {
            Sleep(1);
        }
    });
    ASSERT_TRUE(thread.joinable());
    EXPECT_FALSE(thread.join(0u));
    EXPECT_TRUE(thread.joinable());
    release = true;
    EXPECT_TRUE(thread.join());
    EXPECT_FALSE(thread.joinable());

    ThreadHandle moved = ThreadHandle::start(0x100000, [] {});
    ThreadHandle target(std::move(moved));
    EXPECT_FALSE(moved.joinable());
    EXPECT_TRUE(target.join());
}

TEST(Stopwatch, ExpiredWatchStartsPastItsTimeOut) {
    EXPECT_GE(Stopwatch(1000, true).elapsedMs(), 1001);
    EXPECT_LT(Stopwatch(1000).elapsedMs(), 1000);
}

class ScopeTimerTest : public testing::Test {
protected:
    void capture(bool enabled) {
        Detail::overrideDebugOutput(
            enabled, [] { return Detail::DebugClockTime{1, 2, 3}; },
            [this](const wchar_t* line) { mLines.push_back(line); });
    }
    void TearDown() override { Detail::restoreDebugOutput(); }

    std::vector<std::wstring> mLines;
};

TEST_F(ScopeTimerTest, WritesOneLineWithTheElapsedMillisecondsWhenDebugOutputIsOn) {
    capture(true);
    { ScopeTimer timer(1000, "Function call: ", "Tarvio::Example"); }
    ASSERT_EQ(mLines.size(), 1u);
    EXPECT_TRUE(std::regex_match(mLines[0], std::wregex(LR"(#TARVIO \(1:2:3\)  >>>  Function call:  Tarvio::Example took \d+ ms\.\n)")))
        << std::string(mLines[0].begin(), mLines[0].end());
}

TEST_F(ScopeTimerTest, WritesNothingWhenDebugOutputIsOff) {
    capture(false);
    { ScopeTimer timer(1000, "Function call: ", "Tarvio::Example"); }
    EXPECT_TRUE(mLines.empty());
}

} // namespace
} // namespace Tarvio
