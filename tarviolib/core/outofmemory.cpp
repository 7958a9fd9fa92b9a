#include "tarviolib/core/outofmemory.h"

#include <new>

namespace Tarvio {

std::exception_ptr rethrowOutOfMemory() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        return std::current_exception();
    }
}

} // namespace Tarvio
