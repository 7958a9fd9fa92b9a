#include "tarviolib/core/observerlist.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace Tarvio {
namespace {

struct Listener : public Polymorphic {
    std::function<void()> onTold;
    std::atomic<int> told{0};

    void tell() {
        ++told;
        if (onTold) {
            onTold();
        }
    }
};

void tellAll(const ObserverList<Listener>& list) {
    list.notify([](Listener& listener) { listener.tell(); });
}

TEST(ObserverListTest, RegistrationDuringANotificationSkipsNoLiveObserver) {
    // A dead entry ahead of the registering observer: the registration compacts the list while
    // it is being walked.
    ObserverList<Listener> list;
    list.add(makeShared<Listener>());
    const auto registering = makeShared<Listener>();
    const auto behind = makeShared<Listener>();
    const auto added = makeShared<Listener>();
    list.add(registering);
    list.add(behind);
    registering->onTold = [&] { list.add(added); };

    tellAll(list);
    EXPECT_EQ(registering->told, 1);
    EXPECT_EQ(behind->told, 1);
    EXPECT_EQ(added->told, 0); // registered after this notification began

    registering->onTold = nullptr;
    tellAll(list);
    EXPECT_EQ(behind->told, 2);
    EXPECT_EQ(added->told, 1);
}

TEST(ObserverListTest, AnObserverDroppedDuringANotificationIsNotToldAgain) {
    ObserverList<Listener> list;
    const auto dropping = makeShared<Listener>();
    auto dropped = makeShared<Listener>();
    list.add(dropping);
    list.add(dropped);
    const WeakPtr<Listener> watch(dropped);
    dropping->onTold = [&] { dropped = SharedPtr<Listener>(); };

    tellAll(list);
    EXPECT_EQ(dropping->told, 1);
    EXPECT_FALSE(watch.lock());
    tellAll(list);
    EXPECT_EQ(dropping->told, 2);
}

TEST(ObserverListTest, NotifiesAndRegistersFromSeveralThreads) {
    ObserverList<Listener> list;
    const auto first = makeShared<Listener>();
    list.add(first);
    constexpr int Rounds = 500;
    std::vector<SharedPtr<Listener>> kept(2 * Rounds);
    auto work = [&](int offset) {
        for (int i = 0; i < Rounds; ++i) {
            kept[offset + i] = makeShared<Listener>();
            list.add(kept[offset + i]);
            list.add(makeShared<Listener>()); // dies at once: compacted by a later registration
            tellAll(list);
        }
    };
    std::thread one(work, 0);
    std::thread two(work, Rounds);
    one.join();
    two.join();
    EXPECT_EQ(first->told, 2 * Rounds);
    // Each kept observer is told at least by the notification that follows its own registration.
    for (const SharedPtr<Listener>& listener : kept) {
        EXPECT_GE(listener->told, 1);
    }
}

} // namespace
} // namespace Tarvio
