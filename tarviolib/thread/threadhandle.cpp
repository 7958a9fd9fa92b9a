#include "tarviolib/thread/threadhandle.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/winapi/errormessage.h"

#include <windows.h>

#include <exception>

namespace Tarvio {

namespace {

DWORD WINAPI threadEntry(void* parameter) noexcept {
    const UniquePtr<Function<void()>> body(static_cast<Function<void()>*>(parameter));
    (*body)(); // an exception cannot leave a thread: noexcept ends the process, as with std::thread
    return 0;
}

} // namespace

ThreadHandle::ThreadHandle(ThreadHandle&& other) noexcept : mHandle(other.mHandle) {
    other.mHandle = nullptr;
}

ThreadHandle& ThreadHandle::operator=(ThreadHandle&& other) noexcept {
    if (mHandle != nullptr) {
        std::terminate();
    }
    mHandle = other.mHandle;
    other.mHandle = nullptr;
    return *this;
}

ThreadHandle::~ThreadHandle() {
    if (mHandle != nullptr) {
        std::terminate();
    }
}

ThreadHandle ThreadHandle::start(uint32_t stackReservation, const Function<void()>& body) {
    UniquePtr<Function<void()>> parameter = makeUnique<Function<void()>>(body);
    const HANDLE handle = CreateThread(nullptr, stackReservation, threadEntry, parameter.get(),
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (handle == nullptr) {
        const DWORD error = GetLastError();
        throwException(String("Cannot start a thread: ") + WinApi::errorMessage(error));
    }
    parameter.release(); // the thread owns it now
    return ThreadHandle(handle);
}

bool ThreadHandle::join(const Optional<uint32_t>& timeoutMs) {
    const DWORD result = WaitForSingleObject(mHandle, timeoutMs ? *timeoutMs : INFINITE);
    if (result == WAIT_TIMEOUT) {
        return false;
    }
    CloseHandle(mHandle);
    mHandle = nullptr;
    return result == WAIT_OBJECT_0;
}

} // namespace Tarvio
