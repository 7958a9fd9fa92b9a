#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"

#include <cstdint>

// The platform's module handle type (HMODULE), without the whole platform header.
struct HINSTANCE__;

namespace Tarvio::WinApi {

// The bytes of a resource inside the loaded image: read-only, valid for the life of the process.
struct FileResource : public Object {
    const void* data = nullptr;
    uint32_t size = 0;
};

// A resource of type "FILE"; a null module is the program's own executable.
Optional<FileResource> loadFileResource(HINSTANCE__* module, const String& name);

Io::Path executablePath();

} // namespace Tarvio::WinApi
