#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/sharedptr.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace Tarvio {

namespace Detail {

template <typename Signature>
class IWrapperFunction;

template <typename R, typename... Args>
class IWrapperFunction<R(Args...)> : public Polymorphic {
public:
    virtual R invoke(Args... args) = 0;
    // A new wrapper with its own copy of the callable.
    virtual SharedPtr<IWrapperFunction> clone() const = 0;
};

// Holds the callable by value, or by reference when Callable is a reference type.
template <typename Callable, typename Signature>
class WrapperFunction;

template <typename Callable, typename R, typename... Args>
class WrapperFunction<Callable, R(Args...)> final : public IWrapperFunction<R(Args...)> {
public:
    template <typename C>
    explicit WrapperFunction(C&& callable) : mCallable(std::forward<C>(callable)) {}

    R invoke(Args... args) override { return mCallable(std::forward<Args>(args)...); }

    SharedPtr<IWrapperFunction<R(Args...)>> clone() const override {
        return makeShared<WrapperFunction>(mCallable);
    }

private:
    Callable mCallable;
};

} // namespace Detail

template <typename Signature>
class Function;

// A shared, type-erased callable. Copies share one wrapper and therefore one callable object,
// captures included; a Function is handed to another thread by copying it.
template <typename R, typename... Args>
class Function<R(Args...)> {
    using Wrapper = Detail::IWrapperFunction<R(Args...)>;

    template <typename Callable>
    using IfCallable = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, Function> &&
                                        std::is_invocable_r_v<R, std::decay_t<Callable>&, Args...>>;

public:
    Function() noexcept = default;
    Function(std::nullptr_t) noexcept {}

    template <typename Callable, typename = IfCallable<Callable>>
    Function(Callable&& callable)
        : mWrapper(makeShared<Detail::WrapperFunction<std::decay_t<Callable>, R(Args...)>>(
              std::forward<Callable>(callable))) {}

    // Must not be called while empty; callers test first where it may be.
    R operator()(Args... args) const { return mWrapper->invoke(std::forward<Args>(args)...); }

    explicit operator bool() const noexcept { return static_cast<bool>(mWrapper); }

    // A Function with its own copy of the callable, sharing nothing with this one.
    Function clone() const { return Function(mWrapper ? mWrapper->clone() : nullptr); }

private:
    explicit Function(SharedPtr<Wrapper> wrapper) noexcept : mWrapper(std::move(wrapper)) {}

    SharedPtr<Wrapper> mWrapper;
};

} // namespace Tarvio
