#pragma once

#include <wx/colour.h>

#include <cstdint>

namespace Tarvio::Wx {

// The colours a skinned control reads: eight RGB triples.
struct Skin {
    enum Role : int32_t {
        Text = 0,
        DisabledText = 1,
        Background = 2,
        ToggledText = 4,
        ToggledBackground = 5,
        PressedBackground = 6,
    };

    // The colours a text control starts with.
    static Skin defaults();

    wxColour colour(Role role) const;

    uint8_t rgb[8][3];
};

static_assert(sizeof(Skin) == 24);

} // namespace Tarvio::Wx
