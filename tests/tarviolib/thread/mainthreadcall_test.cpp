#include "tarviolib/thread/mainthreadcall.h"

#include "tarviolib/core/exception.h"

#include "tests/support/dispatchingworker.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace Tarvio {
namespace {

using Testing::onWorkerWhileDispatching;

TEST(CallOnMainThread, BringsBackTheValueOrTheExceptionFromTheMainThread) {
    ASSERT_TRUE(createHiddenWindow());
    bool onMainThread = false;
    std::string failure;
    onWorkerWhileDispatching([&] {
        onMainThread = callOnMainThread<bool>([] { return isMainThread(); });
        try {
            callOnMainThread<void>([] { throwException(String("failed on the main thread")); });
        } catch (const Exception& exception) {
            failure = exception.what();
        }
    });
    destroyHiddenWindow();
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ(failure, "failed on the main thread");
    EXPECT_EQ(callOnMainThread<int>([] { return 7; }), 7); // the main thread itself needs no window
}

TEST(CallOnMainThread, WithoutTheHiddenWindowTheCallerIsNotLeftWaiting) {
    std::string failure;
    std::thread([&] {
        try {
            callOnMainThread<int>([] { return 1; });
        } catch (const Exception& exception) {
            failure = exception.what();
        }
    }).join();
    EXPECT_EQ(failure, "The main thread cannot be reached: the library is not started.");
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message); // the abandoned call does nothing if it ever runs
    }
}

} // namespace
} // namespace Tarvio
