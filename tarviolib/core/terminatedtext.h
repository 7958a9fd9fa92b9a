#pragma once

#include "tarviolib/core/array.h"

#include <cstdint>
#include <utility>

namespace Tarvio::Detail {

// A NUL-terminated text whose array counts the terminator; an empty array reads as an empty text.
template <typename Unit>
class TerminatedText : public Object {
public:
    TerminatedText() = default;
    // units must end with a NUL unit unless they are empty.
    explicit TerminatedText(Array<Unit>&& units) : mUnits(std::move(units)) {}

    const Unit* text() const { return mUnits.isEmpty() ? &mEmpty : mUnits.data(); }
    Unit* data() { return mUnits.isEmpty() ? &mEmpty : mUnits.data(); }
    int32_t length() const { return mUnits.isEmpty() ? 0 : mUnits.size() - 1; }
    bool isEmpty() const { return length() == 0; }

private:
    Array<Unit> mUnits;
    Unit mEmpty = 0;
};

} // namespace Tarvio::Detail
