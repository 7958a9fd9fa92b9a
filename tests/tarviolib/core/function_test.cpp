#include "tarviolib/core/function.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>

namespace Tarvio {
namespace {

TEST(FunctionTest, CopiesShareOneCallableAndItsCaptures) {
    int calls = 0;
    Function<int()> first = [counter = 0]() mutable { return ++counter; };
    Function<int()> second = first;
    EXPECT_EQ(first(), 1);
    EXPECT_EQ(second(), 2);
    EXPECT_EQ(first(), 3);

    // A copy handed to another thread still advances the same counter.
    std::thread([copy = second, &calls] { calls = copy(); }).join();
    EXPECT_EQ(calls, 4);
}

TEST(FunctionTest, CloneOwnsASeparateCopyOfTheCallable) {
    Function<int()> original = [counter = 10]() mutable { return ++counter; };
    EXPECT_EQ(original(), 11);
    Function<int()> cloned = original.clone();
    EXPECT_EQ(cloned(), 12);
    EXPECT_EQ(cloned(), 13);
    EXPECT_EQ(original(), 12);
}

TEST(FunctionTest, PassesArgumentsAndReturnsTheResult) {
    std::string seen;
    Function<void(const std::string&)> append = [&seen](const std::string& text) { seen += text; };
    append("ab");
    append("c");
    EXPECT_EQ(seen, "abc");

    Function<int64_t(int64_t, bool)> pick = [](int64_t value, bool negate) { return negate ? -value : value; };
    EXPECT_EQ(pick(int64_t(1) << 40, true), -(int64_t(1) << 40));
}

TEST(FunctionTest, EmptyUntilACallableIsGiven) {
    Function<void()> empty;
    EXPECT_FALSE(empty);
    EXPECT_FALSE(empty.clone());
    Function<void()> filled = [] {};
    EXPECT_TRUE(filled);
    filled = nullptr;
    EXPECT_FALSE(filled);
}

} // namespace
} // namespace Tarvio
