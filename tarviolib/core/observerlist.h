#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/mutex.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/weakptr.h"

#include <utility>

namespace Tarvio {

// Observers of one kind of change, held weakly (an observer leaves the list by dying) and usable
// from any thread. A notification goes over a snapshot taken under the lock and tells each
// observer with no lock held, so an observer may register another one, or drop one, while it is
// told: a new one hears from the next notification on, a dropped one is not told any more.
template <typename T>
class ObserverList : public Noncopyable {
public:
    // Dead entries leave the list here.
    void add(WeakPtr<T> observer) {
        ScopedLock lock(mMutex);
        Array<WeakPtr<T>> living;
        for (const WeakPtr<T>& entry : mEntries) {
            if (entry.lock()) {
                living.append(entry);
            }
        }
        living.append(std::move(observer));
        mEntries.swap(living);
    }

    // Calls notify(T&) for each observer alive, in registration order, on the calling thread.
    template <typename Notify>
    void notify(Notify notify) const {
        Array<WeakPtr<T>> snapshot;
        {
            ScopedLock lock(mMutex);
            snapshot = mEntries;
        }
        for (const WeakPtr<T>& entry : snapshot) {
            if (const SharedPtr<T> observer = entry.lock()) {
                notify(*observer);
            }
        }
    }

private:
    mutable Mutex mMutex;
    Array<WeakPtr<T>> mEntries;
};

} // namespace Tarvio
