#include "tarviolib/thread/currentthread.h"

#include <windows.h>

#include <xmmintrin.h>

namespace Tarvio {

namespace {

// The thread-naming convention of the Windows debuggers.
constexpr DWORD SetThreadNameException = 0x406D1388;

// MinGW has no __try: a vectored handler takes the exception when no debugger has. Left
// unhandled, it would end the process (under Wine it starts the debugger). It is the last resort,
// so it goes to the end of the list: at its head it would hide the name from every handler
// installed before the first thread was named.
LONG CALLBACK ignoreThreadNameException(EXCEPTION_POINTERS* pointers) {
    return pointers->ExceptionRecord->ExceptionCode == SetThreadNameException ? EXCEPTION_CONTINUE_EXECUTION
                                                                               : EXCEPTION_CONTINUE_SEARCH;
}

void installThreadNameHandler() {
    static const PVOID handler = AddVectoredExceptionHandler(0, ignoreThreadNameException);
    (void)handler;
}

} // namespace

void setCurrentThreadName(const String& name) {
    installThreadNameHandler();
    const NarrowString ascii = name.toAscii('_');
    const ULONG_PTR arguments[4] = {0x1000, reinterpret_cast<ULONG_PTR>(ascii.text()), GetCurrentThreadId(), 0};
    RaiseException(SetThreadNameException, 0, 4, arguments);
}

// The build targets plain i686; every processor the program accepts has SSE.
__attribute__((target("sse"))) void enableFlushToZero() {
    _mm_setcsr(_mm_getcsr() | 0x8000);
    _mm_setcsr(_mm_getcsr() | 0x0040);
}

} // namespace Tarvio
