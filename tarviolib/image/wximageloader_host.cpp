// The host build has no GUI toolkit: its picture formats cannot be decoded there.

#include "tarviolib/core/exception.h"
#include "tarviolib/image/image.h"

namespace Tarvio {

void Image::loadWxImage(Io::SeekableBinaryInputStream&, ImageFormat) {
    throw Exception("Failed to load image.");
}

} // namespace Tarvio
