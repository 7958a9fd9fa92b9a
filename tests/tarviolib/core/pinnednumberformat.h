#pragma once

#include "tarviolib/core/formatting.h"

namespace Tarvio::Testing {

// Texts that depend on the locale are checked against en-US.
inline void pinEnglishNumberFormat() {
    setNumberFormatForTesting(NumberFormat{L'.', L",", L"3;0"});
}

} // namespace Tarvio::Testing
