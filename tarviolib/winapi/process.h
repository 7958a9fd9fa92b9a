#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"
#include "tarviolib/winapi/scopedhandle.h"

#include <cstdint>

namespace Tarvio::WinApi {

namespace ProcessFlag {
// Start with the shell verb "runas", which asks for elevation.
constexpr uint32_t RunAsAdministrator = 1;
// Destroying the Process leaves the child running.
constexpr uint32_t Detached = 2;
} // namespace ProcessFlag

// The parameter text that hands each argument to a program whose runtime splits its command line
// as CommandLineToArgvW does, each argument followed by one blank.
String commandLineParameters(const Array<String>& arguments);

// A child program started through the shell.
class Process : public Noncopyable {
public:
    // The arguments are passed as commandLineParameters makes them. Throws Exception
    // "Can't start <native path> as process." when the shell cannot start the program.
    Process(const Io::Path& program, const Array<String>& arguments, uint32_t flags);
    // Terminates a child still running with the exit code 4294967295 unless Detached.
    ~Process();

    // The exit code once the child has ended (1 when it cannot be read), after which no handle is
    // held; nothing on a time-out or without a handle. reserved is not used.
    Optional<int32_t> wait(uint32_t milliseconds, uint32_t reserved = 0);

    // Null when none is held: the shell may start no new process, and wait forgets an ended one.
    void* handle() const { return mHandle.get(); }
    uint32_t flags() const { return mFlags; }

private:
    KernelHandle mHandle;
    uint32_t mFlags = 0;
};

// Starts the program through the shell's "runas" verb, which asks for elevation, and leaves it
// running. False when the user declines; other failures throw as Process does.
bool startElevated(const Io::Path& program, const Array<String>& arguments);

} // namespace Tarvio::WinApi
