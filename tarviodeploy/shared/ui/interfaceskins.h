#pragma once

#include "tarviolib/wx/controls/skin.h"

namespace Tarvio::InterfaceSkins {

// Dark text on orange-red: the main window's Back, Next and Cancel, the prerequisites dialog's
// Retry, Ignore and Abort.
inline constexpr Wx::Skin pushButton{{{30, 30, 30},
                                      {110, 110, 110},
                                      {230, 80, 42},
                                      {37, 37, 37},
                                      {0, 0, 0},
                                      {39, 147, 255},
                                      {0, 73, 112},
                                      {81, 167, 241}}};

// The path browser's "Browse": the skinned controls' own colours.
inline const Wx::Skin browseButton = Wx::Skin::defaults();

} // namespace Tarvio::InterfaceSkins
