#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"

#include <new>
#include <utility>

namespace Tarvio {

// A value or the message of why there is none. Reading the value of a failed Result, or the message
// of a successful one, is not allowed: callers test ok() first.
template <typename T>
class Result : public Object {
public:
    Result(const T& value) { constructValue(value); }
    Result(T&& value) { constructValue(std::move(value)); }

    static Result fromError(String message) { return Result(ErrorTag{}, std::move(message)); }
    static Result fromError(const char* message) { return fromError(String(message)); }

    Result(const Result& other) {
        if (other.mOk) {
            constructValue(other.mValue);
        } else {
            constructError(other.mError);
        }
    }

    Result(Result&& other) noexcept {
        if (other.mOk) {
            constructValue(std::move(other.mValue));
        } else {
            constructError(std::move(other.mError));
        }
    }

    Result& operator=(const Result& other) {
        if (this != &other) {
            Result copy(other);
            *this = std::move(copy);
        }
        return *this;
    }

    Result& operator=(Result&& other) noexcept {
        if (this != &other) {
            destroy();
            if (other.mOk) {
                constructValue(std::move(other.mValue));
            } else {
                constructError(std::move(other.mError));
            }
        }
        return *this;
    }

    ~Result() { destroy(); }

    bool ok() const { return mOk; }

    T& value() { return mValue; }
    const T& value() const { return mValue; }
    const String& error() const { return mError; }

private:
    struct ErrorTag {};

    Result(ErrorTag, String&& message) { constructError(std::move(message)); }

    template <typename V>
    void constructValue(V&& value) {
        ::new (static_cast<void*>(&mValue)) T(std::forward<V>(value));
        mOk = true;
    }

    template <typename V>
    void constructError(V&& message) {
        ::new (static_cast<void*>(&mError)) String(std::forward<V>(message)); // a String is always terminated
        mOk = false;
    }

    void destroy() {
        if (mOk) {
            mValue.~T();
        } else {
            mError.~String();
        }
    }

    union {
        T mValue;
        String mError;
    };
    bool mOk = false;
};

} // namespace Tarvio
