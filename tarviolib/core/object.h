#pragma once

#include "tarviolib/core/heapallocator.h"

#include <cstddef>
#include <new>

namespace Tarvio {

// Root of the class tree: every object comes from HeapAllocator at 16-byte alignment.
class Object {
public:
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void* block) noexcept { HeapAllocator::deallocateNoexcept(block); }
    static void operator delete(void*, void*) noexcept {}
    static void* operator new[](std::size_t size);
    static void operator delete[](void* block) noexcept { HeapAllocator::deallocateNoexcept(block); }
};

// Base of every class with virtual operations.
class Polymorphic : public Object {
public:
    virtual ~Polymorphic() = default;
};

// Base of classes that are never copied.
class Noncopyable : public Object {
public:
    Noncopyable() = default;
    Noncopyable(const Noncopyable&) = delete;
    Noncopyable& operator=(const Noncopyable&) = delete;
};

} // namespace Tarvio
