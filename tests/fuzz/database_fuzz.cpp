// The install database's parser over arbitrary text, then its writer: what a parse keeps must
// print, and read back, to the same database. A failed load is an answer; a crash, a leak,
// undefined behaviour, a hang or a database that changes on its second round trip is a finding.

#include "tarviodeploy/shared/database.h"
#include "tarviolib/core/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // UTF-8 as the file is read: ill-formed bytes become U+FFFD, a NUL ends the text.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const Tarvio::DatabaseLoadResult loaded = Tarvio::Database::parse(Tarvio::String::fromUtf8(bytes.c_str()));
    if (!loaded.database) {
        std::abort();
    }
    const Tarvio::String saved = loaded.database->save();
    const Tarvio::DatabaseLoadResult reloaded = Tarvio::Database::parse(saved);
    if (reloaded.failed || reloaded.database->save() != saved) {
        std::abort();
    }
    return 0;
}
