#include "tarviolib/core/enumnametable.h"

namespace Tarvio {

String enumToString(const EnumNameEntry* entries, int32_t count, int64_t value) {
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].value == value) {
            return String(entries[i].name);
        }
    }
    return String("[ERROR]");
}

} // namespace Tarvio
