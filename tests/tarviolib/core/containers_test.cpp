#include "tarviolib/core/array.h"
#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/buffer.h"
#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/flatmap.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/pair.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace Tarvio {
namespace {

// Counts the live instances, to see what a container constructs and destroys.
struct Tracked {
    static int live;
    int value;

    Tracked(int value = 0) : value(value) { ++live; }
    Tracked(const Tracked& other) : value(other.value) { ++live; }
    Tracked(Tracked&& other) noexcept : value(other.value) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    Tracked& operator=(Tracked&&) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;

TEST(ArrayTest, GrowsByHalfItsCapacity) {
    struct Case {
        int32_t capacity;
        int32_t grown;
    };
    const Case cases[] = {{0, 1}, {1, 2}, {2, 3}, {4, 6}, {10, 15}};
    for (const Case& c : cases) {
        Array<int> array;
        array.reserve(c.capacity);
        for (int i = 0; i < c.capacity; ++i) {
            array.append(i);
        }
        ASSERT_EQ(array.capacity(), c.capacity);
        array.append(-1);
        EXPECT_EQ(array.capacity(), c.grown) << "from " << c.capacity;
        EXPECT_EQ(array.size(), c.capacity + 1);
        EXPECT_EQ(array[c.capacity], -1);
    }
}

TEST(ArrayTest, KeepsStringsThroughReallocation) {
    Array<String> array;
    for (int i = 0; i < 20; ++i) {
        array.append(toString(i));
    }
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(array[i], toString(i));
        EXPECT_STREQ(array[i].text(), toString(i).text());
    }
}

TEST(ArrayTest, AppendingOwnElementSurvivesGrowth) {
    Array<String> array{L"first"};
    ASSERT_EQ(array.capacity(), 1);
    array.append(array[0]);
    array.append(array[1]);
    ASSERT_EQ(array.size(), 3);
    EXPECT_EQ(array[2], L"first");
}

TEST(ArrayTest, DestroysEveryElementOnce) {
    {
        Array<Tracked> array;
        for (int i = 0; i < 10; ++i) {
            array.emplace(i);
        }
        Array<Tracked> copy(array);
        EXPECT_EQ(Tracked::live, 20);
        copy.resize(3);
        EXPECT_EQ(Tracked::live, 13);
        Array<Tracked> moved(std::move(array));
        EXPECT_TRUE(array.isEmpty());
        EXPECT_EQ(array.data(), nullptr);
        EXPECT_EQ(moved[9].value, 9);
        copy = moved;
        EXPECT_EQ(Tracked::live, 20);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(ArrayTest, ResizeValueInitialises) {
    Array<int> array;
    array.resize(4);
    EXPECT_EQ(std::count(array.begin(), array.end(), 0), 4);
    array.resize(-1);
    EXPECT_EQ(array.size(), 0);
}

TEST(ArrayTest, SearchFindsFirstEqualString) {
    const Array<String> names{L"a", L"b", L"b"};
    EXPECT_EQ(std::find(names.begin(), names.end(), String(L"b")) - names.begin(), 1);
    EXPECT_EQ(std::find(names.begin(), names.end(), String(L"c")), names.end());
}

TEST(ArrayTest, SizesBeyondInt32AllocationFailAsOutOfMemory) {
    Array<int64_t> array;
    EXPECT_THROW(array.reserve(INT32_MAX), BadAlloc);
    EXPECT_EQ(array.capacity(), 0);
}

TEST(BufferTest, ResizeRules) {
    Buffer<int32_t> buffer;
    buffer.allocate(0);
    EXPECT_EQ(buffer.data(), nullptr);
    buffer.allocate(4);
    for (int32_t i = 0; i < 4; ++i) {
        buffer[i] = i + 1;
    }
    int32_t* block = buffer.data();
    buffer.resize(4, false);
    EXPECT_EQ(buffer.data(), block);
    buffer.resize(6, true);
    EXPECT_EQ(buffer.size(), 6);
    EXPECT_EQ(buffer[3], 4);
    buffer.resize(2, true);
    EXPECT_EQ(buffer[1], 2);
    buffer.resize(0, true);
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), 0);
}

TEST(BufferTest, ElementsAreAlignedForTheirType) {
    Buffer<double> buffer(3);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % alignof(double), 0u);
}

TEST(ByteBufferTest, SizesBeyondOneAllocationFailAsOutOfMemory) {
    ByteBuffer buffer(16);
    EXPECT_THROW(buffer.resize(int64_t{1} << 32, false), BadAlloc);
    EXPECT_EQ(buffer.size(), 16);
    EXPECT_NE(buffer.data(), nullptr);
    buffer.resize(0, false);
    EXPECT_EQ(buffer.data(), nullptr);
}

TEST(FlatMapTest, MissingKeyAppendsOneEmptyEntry) {
    FlatMap<int32_t, Array<String>> map;
    map[1].append(L"x");
    map[0].append(L"y");
    Array<String>& again = map[1];
    again.append(L"z");
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.begin()->key, 1);
    EXPECT_EQ(map.begin()->value.size(), 2);
    EXPECT_TRUE(map[7].isEmpty());
    EXPECT_EQ(map.size(), 3);
}

TEST(OptionalTest, MoveAssigningEmptyOntoFullEmptiesIt) {
    {
        Optional<Tracked> full(Tracked(5));
        EXPECT_EQ(Tracked::live, 1);
        full = Optional<Tracked>();
        EXPECT_FALSE(full.hasValue());
        EXPECT_EQ(Tracked::live, 0);
        full = Optional<Tracked>(Tracked(6));
        EXPECT_EQ(full->value, 6);
        Optional<Tracked> copy(full);
        EXPECT_EQ(copy.value().value, 6);
        copy.reset();
        EXPECT_FALSE(copy);
        EXPECT_EQ(Tracked::live, 1);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(OptionalTest, ValueOr) {
    EXPECT_EQ(Optional<String>().valueOr(L"default"), L"default");
    EXPECT_EQ(Optional<String>(String(L"set")).valueOr(L"default"), L"set");
}

TEST(ResultTest, FailedResultHoldsOnlyItsMessage) {
    {
        Result<Tracked> failed = Result<Tracked>::fromError("no file");
        EXPECT_FALSE(failed.ok());
        EXPECT_EQ(failed.error(), L"no file");
        EXPECT_EQ(Tracked::live, 0);
        Result<Tracked> copy(failed);
        EXPECT_EQ(copy.error(), L"no file");
        Result<Tracked> succeeded(Tracked(3));
        EXPECT_EQ(Tracked::live, 1);
        copy = succeeded;
        EXPECT_TRUE(copy.ok());
        EXPECT_EQ(copy.value().value, 3);
        succeeded = failed;
        EXPECT_FALSE(succeeded.ok());
        EXPECT_EQ(Tracked::live, 1);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(ResultTest, ErrorFromString) {
    String message(L"denied");
    const Result<int> result = Result<int>::fromError(message);
    EXPECT_EQ(result.error(), L"denied");
    EXPECT_STREQ(result.error().text(), L"denied");
    EXPECT_EQ(Result<String>(String(L"v")).value(), L"v");
}

TEST(PairTest, HoldsItsTexts) {
    const StringPair paths(L"from", L"to");
    EXPECT_EQ(paths.second, L"to");
    const IntStringPair entry(2, L"two");
    EXPECT_EQ(entry.value, 2);
    EXPECT_EQ(entry.text, L"two");
}

} // namespace
} // namespace Tarvio
