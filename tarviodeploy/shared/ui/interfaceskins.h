#pragma once

#include "tarviolib/wx/controls/skin.h"

#include <cstdint>

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

// The push buttons' size in both windows, written for a 96-DPI screen.
inline constexpr int32_t pushButtonWidth = 62;
inline constexpr int32_t pushButtonHeight = 24;

// The path browser's "Browse": the skinned controls' own colours.
inline const Wx::Skin browseButton = Wx::Skin::defaults();

} // namespace Tarvio::InterfaceSkins
