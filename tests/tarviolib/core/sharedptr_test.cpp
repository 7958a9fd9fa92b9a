#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/core/weakptr.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace Tarvio {
namespace {

// Counts how many instances are alive, so tests see exactly when an object dies.
class Tracked : public Polymorphic {
public:
    explicit Tracked(int& alive, int value = 0) : mAlive(alive), mValue(value) { ++mAlive; }
    ~Tracked() override { --mAlive; }
    int value() const { return mValue; }

private:
    int& mAlive;
    int mValue;
};

class IObserver {
public:
    virtual ~IObserver() = default;
    virtual int observe() = 0;
};

// The observer interface is the second base, so it sits at another address than the object.
class ObservingTracked : public Tracked, public IObserver {
public:
    using Tracked::Tracked;
    int observe() override { return value(); }
};

// Records when the object is deleted and when the block, which owns the deleter, is freed.
struct RecordingDeleter {
    int* objectsDeleted;
    int* blocksFreed;
    bool owned = true;

    RecordingDeleter(int* objects, int* blocks) : objectsDeleted(objects), blocksFreed(blocks) {}
    RecordingDeleter(RecordingDeleter&& other) noexcept
        : objectsDeleted(other.objectsDeleted), blocksFreed(other.blocksFreed), owned(other.owned) {
        other.owned = false;
    }
    ~RecordingDeleter() {
        if (owned) {
            ++*blocksFreed;
        }
    }
    void operator()(Tracked* object) const {
        ++*objectsDeleted;
        delete object;
    }
};

TEST(UniquePtrTest, DeletesOnDestructionResetAndMoveAssignment) {
    int alive = 0;
    {
        UniquePtr<Tracked> first = makeUnique<Tracked>(alive, 1);
        UniquePtr<Polymorphic> second(new Tracked(alive, 2));
        EXPECT_EQ(alive, 2);

        second = std::move(first);
        EXPECT_EQ(alive, 1);
        EXPECT_FALSE(first);
        EXPECT_EQ(static_cast<Tracked*>(second.get())->value(), 1);

        UniquePtr<Tracked> third(new Tracked(alive, 3));
        Tracked* raw = third.release();
        EXPECT_FALSE(third);
        third.reset(raw);
        third.reset();
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(SharedPtrTest, CopiesShareOneObjectUntilTheLastIsReleased) {
    int alive = 0;
    SharedPtr<Tracked> first = makeShared<Tracked>(alive, 7);
    EXPECT_EQ(first.useCount(), 1);
    {
        SharedPtr<Tracked> second = first;
        SharedPtr<Polymorphic> third(second);
        EXPECT_EQ(first.useCount(), 3);
        EXPECT_EQ(second.get(), first.get());
        third = third; // self-assignment keeps the count
        EXPECT_EQ(first.useCount(), 3);
    }
    EXPECT_EQ(first.useCount(), 1);
    EXPECT_EQ(alive, 1);
    first.reset();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(first);
    EXPECT_EQ(first.useCount(), 0);
}

TEST(SharedPtrTest, MoveLeavesSourceEmptyWithoutTouchingCounts) {
    int alive = 0;
    SharedPtr<Tracked> source = makeShared<Tracked>(alive);
    SharedPtr<Tracked> observer = source;
    EXPECT_EQ(observer.useCount(), 2);

    SharedPtr<Tracked> moved(std::move(source));
    EXPECT_EQ(source.get(), nullptr);
    EXPECT_EQ(source.useCount(), 0);
    EXPECT_EQ(observer.useCount(), 2);

    SharedPtr<Polymorphic> assigned;
    assigned = std::move(moved);
    EXPECT_EQ(moved.get(), nullptr);
    EXPECT_EQ(observer.useCount(), 2);
    EXPECT_EQ(alive, 1);
}

TEST(SharedPtrTest, CopyAssignmentReleasesTheOldObject) {
    int alive = 0;
    SharedPtr<Tracked> first = makeShared<Tracked>(alive, 1);
    SharedPtr<Tracked> second = makeShared<Tracked>(alive, 2);
    first = second;
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(first->value(), 2);
    EXPECT_EQ(second.useCount(), 2);
}

TEST(SharedPtrTest, ResetWrapsAHandedOverObjectAndNullLeavesItEmpty) {
    int alive = 0;
    SharedPtr<Tracked> pointer;
    pointer.reset(new Tracked(alive, 5));
    EXPECT_EQ(pointer.useCount(), 1);
    EXPECT_EQ(pointer->value(), 5);

    pointer.reset(nullptr);
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(pointer);
    EXPECT_EQ(pointer.useCount(), 0);

    SharedPtr<Tracked> fromUnique(makeUnique<Tracked>(alive, 6));
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(fromUnique->value(), 6);
}

TEST(WeakPtrTest, LastStrongReleaseDestroysObjectButKeepsBlockForWeakHolders) {
    int alive = 0;
    int objectsDeleted = 0;
    int blocksFreed = 0;
    WeakPtr<Tracked> weak;
    {
        SharedPtr<Tracked> shared(new Tracked(alive, 3), RecordingDeleter(&objectsDeleted, &blocksFreed));
        weak = WeakPtr<Tracked>(shared);
        SharedPtr<Tracked> locked = weak.lock();
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked->value(), 3);
        EXPECT_EQ(shared.useCount(), 2);
    }
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(objectsDeleted, 1);
    EXPECT_EQ(blocksFreed, 0);

    SharedPtr<Tracked> afterDeath = weak.lock();
    EXPECT_FALSE(afterDeath);
    EXPECT_EQ(afterDeath.useCount(), 0);
    EXPECT_EQ(blocksFreed, 0);

    weak.reset();
    EXPECT_EQ(blocksFreed, 1);
    EXPECT_EQ(objectsDeleted, 1);
}

TEST(WeakPtrTest, LockFindsAnInterfaceAtAnotherAddressInTheObject) {
    int alive = 0;
    SharedPtr<ObservingTracked> shared = makeShared<ObservingTracked>(alive, 42);
    SharedPtr<IObserver> asInterface = shared;
    ASSERT_NE(static_cast<void*>(asInterface.get()), static_cast<void*>(shared.get()));

    WeakPtr<IObserver> weak(asInterface);
    SharedPtr<IObserver> locked = weak.lock();
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked.get(), asInterface.get());
    EXPECT_EQ(locked->observe(), 42);
}

TEST(WeakPtrTest, ConcurrentCopiesAndLocksKeepCountsExact) {
    int alive = 0;
    SharedPtr<Tracked> shared = makeShared<Tracked>(alive);
    WeakPtr<Tracked> weak(shared);

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared, &weak] {
            for (int i = 0; i < 10000; ++i) {
                SharedPtr<Tracked> copy = shared;
                SharedPtr<Tracked> locked = weak.lock();
                WeakPtr<Tracked> weakCopy = weak;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(shared.useCount(), 1);
    shared.reset();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(weak.lock());
}

} // namespace
} // namespace Tarvio
