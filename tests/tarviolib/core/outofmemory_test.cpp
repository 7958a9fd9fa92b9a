#include "tarviolib/core/outofmemory.h"

#include "tarviolib/core/badalloc.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/heapallocator.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace Tarvio {
namespace {

TEST(OutOfMemoryTest, EveryStandardBadAllocIsThrownOnAndAnythingElseHandedBack) {
    const struct {
        const char* what;
        Function<void()> fail;
        bool outOfMemory;
    } cases[] = {
        {"the library's allocator",
         [] {
             HeapAllocator::failAllocationAfter(0);
             HeapAllocator::allocate(16, 16);
         },
         true},
        // What the standard library and the toolkit throw when operator new fails.
        {"std::bad_alloc", [] { throw std::bad_alloc(); }, true},
        {"std::bad_array_new_length", [] { throw std::bad_array_new_length(); }, true},
        {"Exception", [] { throwException(L"broken"); }, false},
        {"another standard exception", [] { throw std::runtime_error("broken"); }, false},
        {"not a standard exception", [] { throw 7; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool thrownOn = false;
        try {
            try {
                c.fail();
                FAIL() << "nothing thrown";
            } catch (...) {
                const std::exception_ptr handedBack = rethrowOutOfMemory();
                EXPECT_EQ(handedBack, std::current_exception());
            }
        } catch (const std::bad_alloc&) {
            thrownOn = true;
        }
        EXPECT_EQ(thrownOn, c.outOfMemory);
    }
}

} // namespace
} // namespace Tarvio
