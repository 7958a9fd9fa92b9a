#include "tarviolib/wx/controls/skin.h"

namespace Tarvio::Wx {

Skin Skin::defaults() {
    return Skin{{{200, 200, 200},
                 {110, 110, 110},
                 {68, 68, 68},
                 {37, 37, 37},
                 {0, 0, 0},
                 {39, 147, 255},
                 {0, 73, 112},
                 {81, 167, 241}}};
}

wxColour Skin::colour(Role role) const {
    const uint8_t* triple = rgb[role];
    return wxColour(triple[0], triple[1], triple[2], wxALPHA_OPAQUE);
}

} // namespace Tarvio::Wx
