#pragma once

#include "tarviolib/core/string.h"

#include <cstdint>
#include <type_traits>

namespace Tarvio {

struct EnumNameEntry {
    int64_t value;
    const wchar_t* name;
};

// The name of the first entry holding value; "[ERROR]" when none does.
String enumToString(const EnumNameEntry* entries, int32_t count, int64_t value);

// Value names of an enumeration, in the order they were listed. Filled once by a static
// initialiser and read-only afterwards, so lookups need no lock.
template <typename Enum, int32_t N>
class EnumNameTable {
public:
    struct Pair {
        Enum value;
        const wchar_t* name;
    };

    template <int32_t Count>
    EnumNameTable(const Pair (&pairs)[Count]) {
        static_assert(Count == N, "one name per entry");
        for (int32_t i = 0; i < N; ++i) {
            mEntries[i] = {widen(pairs[i].value), pairs[i].name};
        }
    }

    String name(Enum value) const { return enumToString(mEntries, N, widen(value)); }

    const EnumNameEntry* begin() const { return mEntries; }
    const EnumNameEntry* end() const { return mEntries + N; }
    static constexpr int32_t size() { return N; }

    // Signed enumerations sign-extend, 8-bit ones zero-extend.
    static int64_t widen(Enum value) {
        using Underlying = std::underlying_type_t<Enum>;
        if constexpr (sizeof(Underlying) == 1) {
            return static_cast<uint8_t>(value);
        } else {
            return static_cast<int64_t>(static_cast<Underlying>(value));
        }
    }

private:
    EnumNameEntry mEntries[N];
};

} // namespace Tarvio
