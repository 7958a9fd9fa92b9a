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

// The installer interface's colours: the wizard's pages, its log, its step indicator and the
// prerequisites dialog.
namespace InterfaceColours {

// Every "OK" requirement answer, the good verdict, the summary of a clean installation.
inline constexpr RgbColour success{40, 190, 60};
// Unmet Windows requirements, the bad verdict, failed installations, error log lines, the
// prerequisites dialog's category headings.
inline constexpr RgbColour error{210, 40, 40};
// The missing processor feature, the summary after warnings, warning log lines.
inline constexpr RgbColour warning{232, 170, 39};
// The content window, every page and most controls on them, the prerequisites dialog.
inline constexpr RgbColour pageBackground{51, 51, 51};
// Ordinary text, information log lines.
inline constexpr RgbColour text{190, 190, 190};
// The coloured log and the licence box.
inline constexpr RgbColour textBoxBackground{40, 40, 40};
// The summary's links, and while the pointer is over one.
inline constexpr RgbColour link{230, 80, 42};
inline constexpr RgbColour linkHover{255, 100, 50};
// The step indicator's strip, and its cells up to the current step.
inline constexpr RgbColour stepStrip{77, 77, 77};
inline constexpr RgbColour stepReached{220, 79, 43};

} // namespace InterfaceColours

inline wxColour toWxColour(RgbColour colour) {
    return wxColour(colour.red, colour.green, colour.blue, wxALPHA_OPAQUE);
}

} // namespace Tarvio
