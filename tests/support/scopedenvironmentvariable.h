#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Tarvio::Testing {

// Sets (or, with a null value, removes) an environment variable of this process for the life of
// the object, then restores what was there.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const wchar_t* name, const wchar_t* value) : mName(name) {
        const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
        if (size != 0) {
            std::vector<wchar_t> text(size);
            GetEnvironmentVariableW(name, text.data(), size);
            mPrevious = text.data();
            mExisted = true;
        }
        SetEnvironmentVariableW(name, value);
    }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;
    ~ScopedEnvironmentVariable() { SetEnvironmentVariableW(mName.c_str(), mExisted ? mPrevious.c_str() : nullptr); }

private:
    std::wstring mName;
    std::wstring mPrevious;
    bool mExisted = false;
};

} // namespace Tarvio::Testing
