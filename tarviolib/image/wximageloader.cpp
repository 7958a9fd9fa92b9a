// BMP, PNG, JPEG and GIF through the GUI toolkit's image handlers.

#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/image/image.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/stream.h>

#include <cstring>
#include <limits>

namespace Tarvio {

namespace {

// The toolkit reads the caller's stream through this.
class SeekableBinaryInputStreamAdaptor : public wxInputStream {
public:
    explicit SeekableBinaryInputStreamAdaptor(Io::SeekableBinaryInputStream& stream) : mStream(&stream) {}

    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(GetSize()); }

    size_t GetSize() const override {
        const int64_t position = mStream->tellg();
        mStream->seekg(0, SeekOrigin::End);
        const int64_t size = mStream->tellg();
        mStream->seekg(position, SeekOrigin::Begin);
        return static_cast<size_t>(size);
    }

    bool IsSeekable() const override { return true; }

    wxInputStream& Read(void* buffer, size_t size) override {
        try {
            m_lastcount = static_cast<size_t>(mStream->read(buffer, static_cast<int64_t>(size)));
            m_lasterror = mStream->isEof() ? wxSTREAM_EOF : wxSTREAM_NO_ERROR;
        } catch (const Exception&) {
            m_lastcount = 0;
            m_lasterror = wxSTREAM_READ_ERROR;
        }
        return *this;
    }

    bool Eof() const override { return mStream->isEof(); }

    wxFileOffset SeekI(wxFileOffset position, wxSeekMode mode) override {
        SeekOrigin origin;
        switch (mode) {
        case wxFromStart:
            origin = SeekOrigin::Begin;
            break;
        case wxFromCurrent:
            origin = SeekOrigin::Current;
            break;
        case wxFromEnd:
            origin = SeekOrigin::End;
            break;
        default:
            throwStop(Detail::ImageModule, 655);
        }
        try {
            mStream->seekg(position, origin);
            m_lasterror = wxSTREAM_NO_ERROR;
        } catch (const Exception&) {
            m_lasterror = wxSTREAM_READ_ERROR;
        }
        return TellI();
    }

    wxFileOffset TellI() const override { return static_cast<wxFileOffset>(mStream->tellg()); }

protected:
    size_t OnSysRead(void*, size_t) override { throwStop(Detail::ImageModule, 671); }

private:
    Io::SeekableBinaryInputStream* mStream;
};

wxBitmapType toolkitType(ImageFormat format) {
    switch (format) {
    case ImageFormat::bmp:
        return wxBITMAP_TYPE_BMP;
    case ImageFormat::png:
        return wxBITMAP_TYPE_PNG;
    case ImageFormat::jpg:
        return wxBITMAP_TYPE_JPEG;
    case ImageFormat::gif:
        return wxBITMAP_TYPE_GIF;
    default:
        throwStop(Detail::ImageModule, 692);
    }
}

bool isGray(const wxImage& image) {
    const unsigned char* rgb = image.GetData();
    const int64_t count = int64_t(image.GetWidth()) * image.GetHeight();
    for (int64_t i = 0; i < count; ++i, rgb += 3) {
        if (rgb[0] != rgb[1] || rgb[1] != rgb[2]) {
            return false;
        }
    }
    return true;
}

} // namespace

void Image::loadWxImage(Io::SeekableBinaryInputStream& stream, ImageFormat format) {
    const wxBitmapType type = toolkitType(format);
    wxImage image;
    {
        // wxLogNull switches off the global log on the main thread and this thread's elsewhere.
        const wxLogNull quiet;
        SeekableBinaryInputStreamAdaptor adaptor(stream);
        image.LoadFile(adaptor, type, -1);
    }
    if (!image.IsOk()) {
        throw Exception("Failed to load image.");
    }
    mGamma = 2.2f;
    const bool alpha = image.HasAlpha();
    const PixelFormat pixelFormat = !alpha && isGray(image) ? PixelFormat::Gray8
                                    : alpha                 ? PixelFormat::Rgba8
                                                            : PixelFormat::Rgb8;
    allocatePixels(image.GetWidth(), image.GetHeight(), pixelFormat, "Failed to load image.");
    const int32_t bytes = bytesPerPixel(pixelFormat);
    const unsigned char* rgb = image.GetData();
    const unsigned char* alphas = image.GetAlpha();
    for (int32_t y = 0; y < mHeight; ++y) {
        const int64_t sourceRow = int64_t(mHeight - 1 - y) * mWidth;
        uint8_t* out = pixelAt(0, y);
        for (int32_t x = 0; x < mWidth; ++x, out += bytes) {
            const unsigned char* source = rgb + (sourceRow + x) * 3;
            out[0] = source[0];
            if (pixelFormat != PixelFormat::Gray8) {
                out[1] = source[1];
                out[2] = source[2];
            }
            if (alpha) {
                out[3] = alphas[sourceRow + x];
            }
        }
    }
}

} // namespace Tarvio
