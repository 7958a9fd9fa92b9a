#include "tarviolib/core/stacktrace.h"

#include "tarviolib/core/systemlibrary.h"

#include <windows.h>

#include <dbghelp.h>

namespace Tarvio {

namespace {

// dbghelp is loaded on demand: the trace is only ever needed in an out-of-memory report.
struct SymbolService {
    using InitializeFunction = BOOL(WINAPI*)(HANDLE, PCSTR, BOOL);
    using FromAddressFunction = BOOL(WINAPI*)(HANDLE, DWORD64, PDWORD64, PSYMBOL_INFO);

    InitializeFunction initialize = nullptr;
    FromAddressFunction fromAddress = nullptr;

    SymbolService() {
        if (HMODULE module = loadSystemLibrary(L"dbghelp.dll")) {
            initialize = reinterpret_cast<InitializeFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "SymInitialize")));
            fromAddress = reinterpret_cast<FromAddressFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "SymFromAddr")));
        }
    }
};

const SymbolService& symbolService() {
    static const SymbolService service;
    return service;
}

} // namespace

String captureStackTrace() {
    const SymbolService& symbols = symbolService();
    const HANDLE process = GetCurrentProcess();
    if (symbols.initialize) {
        symbols.initialize(process, nullptr, TRUE);
    }
    void* addresses[8];
    const USHORT captured = RtlCaptureStackBackTrace(0, 8, addresses, nullptr);

    Array<Detail::StackFrameSymbol> frames;
    for (USHORT i = 1; i < captured; ++i) {
        const DWORD64 address = reinterpret_cast<uintptr_t>(addresses[i]);
        union {
            SYMBOL_INFO info;
            char bytes[sizeof(SYMBOL_INFO) + 256];
        } symbol = {};
        symbol.info.SizeOfStruct = sizeof(SYMBOL_INFO);
        symbol.info.MaxNameLen = 255;
        Detail::StackFrameSymbol frame;
        // An unknown symbol shows the frame's own address rather than none.
        frame.address = address;
        if (symbols.fromAddress && symbols.fromAddress(process, address, nullptr, &symbol.info)) {
            frame.name = String(symbol.info.Name); // widened byte by byte
            frame.address = symbol.info.Address;
        }
        frames.append(std::move(frame));
    }
    return Detail::formatStackTrace(frames);
}

} // namespace Tarvio
