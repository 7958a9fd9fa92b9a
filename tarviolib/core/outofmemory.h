#pragma once

#include <exception>

namespace Tarvio {

// Out of memory is every std::bad_alloc: the library's BadAlloc, and what the standard library
// and the toolkit throw when their own allocations fail (std::bad_array_new_length included). It
// is never an ordinary failure of what was tried: no handler may answer it with an error value, a
// message or the next attempt. So every handler that takes more than Exception calls this before
// it answers the failure; out of memory ends at the program's outermost handlers, which report
// whatever reaches them and end the program.
//
// Only inside a catch handler: throws the exception in flight on when it is out of memory, else
// hands it back.
std::exception_ptr rethrowOutOfMemory();

} // namespace Tarvio
