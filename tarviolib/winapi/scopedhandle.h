#pragma once

// The platform's handles and memory blocks, each owned by a ScopedHandle that releases it as the
// platform asks.

#include "tarviolib/core/scopedhandle.h"

#include <windows.h>

#include <objbase.h>
#include <wininet.h>

namespace Tarvio::WinApi {

namespace Detail {

// Kernel objects whose failure value is null: processes, threads, tokens.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle handle) noexcept { CloseHandle(handle); }
};

// Files, devices and tool-help snapshots, whose failure value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void release(Handle handle) noexcept { CloseHandle(handle); }
};

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle handle) noexcept { InternetCloseHandle(handle); }
};

// Blocks the platform allocates for its answers (FormatMessageW, CommandLineToArgvW).
template <typename T>
struct LocalMemoryTraits {
    using Handle = T*;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle block) noexcept { LocalFree(block); }
};

// Blocks from the COM task allocator (SHGetKnownFolderPath).
template <typename T>
struct CoTaskMemoryTraits {
    using Handle = T*;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle block) noexcept { CoTaskMemFree(block); }
};

struct SidTraits {
    using Handle = PSID;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle sid) noexcept { FreeSid(sid); }
};

template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle empty() noexcept { return nullptr; }
    static void release(Handle object) noexcept { object->Release(); }
};

} // namespace Detail

using KernelHandle = ScopedHandle<Detail::KernelHandleTraits>;
using FileHandle = ScopedHandle<Detail::FileHandleTraits>;
using InternetHandle = ScopedHandle<Detail::InternetHandleTraits>;
template <typename T>
using LocalMemory = ScopedHandle<Detail::LocalMemoryTraits<T>>;
template <typename T>
using CoTaskMemory = ScopedHandle<Detail::CoTaskMemoryTraits<T>>;
using Sid = ScopedHandle<Detail::SidTraits>;
template <typename Interface>
using ComPtr = ScopedHandle<Detail::ComTraits<Interface>>;

} // namespace Tarvio::WinApi
