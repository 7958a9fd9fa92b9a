#include "tarviolib/thread/mainthreadcall.h"

#include "tarviolib/core/exception.h"

namespace Tarvio::Detail {

void throwMainThreadUnreachable() {
    throwException(String("The main thread cannot be reached: the library is not started."));
}

} // namespace Tarvio::Detail
