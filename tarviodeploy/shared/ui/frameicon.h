#pragma once

#include <cstdint>

class wxTopLevelWindow;

namespace Tarvio {

// The program's icon: a 64 x 64 PNG picture compiled into the program.
extern const unsigned char WindowIconPng[];
extern const int32_t WindowIconPngSize;

// Gives the frame the program's icon.
void setFrameIcon(wxTopLevelWindow& frame);

} // namespace Tarvio
