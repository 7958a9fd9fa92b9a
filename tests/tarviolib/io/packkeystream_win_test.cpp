#include "tarviolib/io/packkeystream.h"

#include "tarviolib/winapi/scopedhandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

namespace Tarvio {
namespace {

struct KeystreamRun {
    PackKeystream::Lanes lanes;
    std::vector<uint8_t> data = std::vector<uint8_t>(1 << 16);
};

DWORD WINAPI applyOnThisThread(void* argument) {
    KeystreamRun& run = *static_cast<KeystreamRun*>(argument);
    PackKeystream(7).apply(run.data.data(), static_cast<int64_t>(run.data.size()), run.lanes);
    return 0;
}

// The installation unscrambles on threads that Windows starts, whose stacks a 32-bit process gets
// aligned to 4 bytes only: SSE2 registers spilled there must not fault.
TEST(PackKeystreamWinTest, EachWayOfSteppingRunsOnAThreadThatWindowsStarted) {
    std::vector<PackKeystream::Lanes> lanes{PackKeystream::Lanes::Scalar};
    if (PackKeystream::fastestLanes() == PackKeystream::Lanes::Sse2) {
        lanes.push_back(PackKeystream::Lanes::Sse2);
    }
    for (const PackKeystream::Lanes way : lanes) {
        KeystreamRun onThread{way};
        const WinApi::KernelHandle thread(CreateThread(nullptr, 0, applyOnThisThread, &onThread, 0, nullptr));
        ASSERT_TRUE(thread);
        ASSERT_EQ(WaitForSingleObject(thread.get(), 60000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        ASSERT_TRUE(GetExitCodeThread(thread.get(), &exitCode));
        EXPECT_EQ(exitCode, 0u);
        KeystreamRun here{way};
        applyOnThisThread(&here);
        EXPECT_EQ(onThread.data, here.data) << static_cast<int>(way);
    }
}

} // namespace
} // namespace Tarvio
