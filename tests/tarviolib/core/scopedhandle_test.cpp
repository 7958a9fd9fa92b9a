#include "tarviolib/core/scopedhandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace Tarvio {
namespace {

// Handles are small numbers, 0 the empty one; each release is recorded.
std::vector<int> released;

struct NumberTraits {
    using Handle = int;
    static Handle empty() noexcept { return 0; }
    static void release(Handle handle) noexcept { released.push_back(handle); }
};

using Number = ScopedHandle<NumberTraits>;

TEST(ScopedHandleTest, ReleasesEachHandleOnceWhateverItsOwnershipWent) {
    released.clear();
    {
        Number first(1);
        Number second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), 1);
        Number third(2);
        third = std::move(second); // releases 2, takes 1
        EXPECT_EQ(released, std::vector<int>{2});
        *third.receive() = 3; // releases 1 first
        EXPECT_EQ(released, (std::vector<int>{2, 1}));
        Number detached(4);
        EXPECT_EQ(detached.detach(), 4);
        Number empty;
    }
    EXPECT_EQ(released, (std::vector<int>{2, 1, 3}));
}

TEST(ScopedHandleTest, ReleasesWhenAnExceptionLeavesBetweenAcquisitionAndUse) {
    released.clear();
    try {
        Number handle(5);
        throw 0;
    } catch (int) {
    }
    EXPECT_EQ(released, std::vector<int>{5});
}

} // namespace
} // namespace Tarvio
