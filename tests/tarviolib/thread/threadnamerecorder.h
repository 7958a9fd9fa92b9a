#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace Tarvio::Testing {

// Records the names that threads announce through the debuggers' thread-naming exception, and
// hands the exception on to the library's own handler.
class ThreadNameRecorder {
public:
    ThreadNameRecorder() : mHandler(AddVectoredExceptionHandler(1, record)) {
        std::lock_guard<std::mutex> lock(mutex());
        list().clear();
    }
    ~ThreadNameRecorder() { RemoveVectoredExceptionHandler(mHandler); }
    ThreadNameRecorder(const ThreadNameRecorder&) = delete;
    ThreadNameRecorder& operator=(const ThreadNameRecorder&) = delete;

    std::vector<std::string> names() const {
        std::lock_guard<std::mutex> lock(mutex());
        return list();
    }

private:
    static std::mutex& mutex() {
        static std::mutex instance;
        return instance;
    }
    static std::vector<std::string>& list() {
        static std::vector<std::string> instance;
        return instance;
    }

    static LONG CALLBACK record(EXCEPTION_POINTERS* pointers) {
        const EXCEPTION_RECORD& exception = *pointers->ExceptionRecord;
        if (exception.ExceptionCode == 0x406D1388 && exception.NumberParameters == 4 &&
            exception.ExceptionInformation[0] == 0x1000 && exception.ExceptionInformation[2] == GetCurrentThreadId()) {
            std::lock_guard<std::mutex> lock(mutex());
            list().push_back(reinterpret_cast<const char*>(exception.ExceptionInformation[1]));
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    PVOID mHandler;
};

} // namespace Tarvio::Testing
