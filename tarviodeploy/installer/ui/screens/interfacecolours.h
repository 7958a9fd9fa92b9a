#pragma once

#include <wx/colour.h>

#include <cstdint>

namespace Tarvio {

// A colour of the interface as its three bytes; made into a toolkit colour where it is used.
struct RgbColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

namespace InterfaceColours {

// Every "OK" requirement answer, the good verdict, the summary of a clean installation.
inline constexpr RgbColour success{40, 190, 60};
// Unmet Windows requirements, the bad verdict, failed installations, error log lines.
inline constexpr RgbColour error{210, 40, 40};
// The missing processor feature, the summary after warnings, warning log lines.
inline constexpr RgbColour warning{232, 170, 39};
// The content window, every page and most controls on them.
inline constexpr RgbColour pageBackground{51, 51, 51};
inline constexpr RgbColour text{190, 190, 190};

} // namespace InterfaceColours

inline wxColour toWxColour(RgbColour colour) {
    return wxColour(colour.red, colour.green, colour.blue, wxALPHA_OPAQUE);
}

} // namespace Tarvio
