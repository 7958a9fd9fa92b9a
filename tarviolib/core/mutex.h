#pragma once

#include "tarviolib/core/object.h"

#include <mutex>

namespace Tarvio {

enum class MutexKind { Plain, Recursive };

namespace Detail {

class ILockable : public Polymorphic {
public:
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

template <typename StandardMutex>
class StandardLockable final : public ILockable {
public:
    void lock() override { mMutex.lock(); }
    void unlock() override { mMutex.unlock(); }

private:
    StandardMutex mMutex;
};

} // namespace Detail

// Owns a heap-allocated standard mutex. A failing lock throws std::system_error.
class Mutex : public Noncopyable {
public:
    explicit Mutex(MutexKind kind = MutexKind::Plain)
        : mMutex(kind == MutexKind::Recursive
                     ? static_cast<Detail::ILockable*>(new Detail::StandardLockable<std::recursive_mutex>)
                     : new Detail::StandardLockable<std::mutex>) {}

    ~Mutex() {
        delete mMutex;
        mMutex = nullptr;
    }

    void lock() { mMutex->lock(); }
    void unlock() { mMutex->unlock(); }

private:
    Detail::ILockable* mMutex;
};

// Holds a Mutex for the lifetime of the scope.
class ScopedLock : public Noncopyable {
public:
    explicit ScopedLock(Mutex& mutex) : mMutex(mutex) { mMutex.lock(); }
    ~ScopedLock() { mMutex.unlock(); }

private:
    Mutex& mMutex;
};

} // namespace Tarvio
