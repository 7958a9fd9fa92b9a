#pragma once

#include "tarviolib/image/image.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include <cstdint>

namespace Tarvio {

// An 8-bit toolkit image of the same size: row 0 (the bottom) becomes the toolkit's last row, the
// values are written with the inverse of the image's gamma, clamped (NaN to 0) and rounded.
wxImage toWxImage(const Image& image);

// Picture bytes held in memory, decoded by the toolkit with the toolkit's log switched off. An
// undecodable picture gives an invalid bitmap: callers check IsOk before using it.
wxBitmap bitmapFromEmbeddedData(const void* data, int32_t size, wxBitmapType type);

} // namespace Tarvio
