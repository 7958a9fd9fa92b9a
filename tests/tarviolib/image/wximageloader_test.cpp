#include "tarviolib/core/exception.h"
#include "tarviolib/image/image.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tests/tarviolib/image/imagefixtures.h"

#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/palette.h>

#include <array>
#include <set>
#include <vector>

namespace Tarvio {
namespace {

using Bytes = std::vector<uint8_t>;

// The toolkit writes GIF only from a palette: the picture gets one entry per colour it uses, so no
// colour is approximated.
wxImage withOwnPalette(wxImage image) {
    std::set<std::array<unsigned char, 3>> colours;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            colours.insert({image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)});
        }
    }
    std::vector<unsigned char> red, green, blue;
    for (const auto& colour : colours) {
        red.push_back(colour[0]);
        green.push_back(colour[1]);
        blue.push_back(colour[2]);
    }
    image.SetPalette(wxPalette(static_cast<int>(colours.size()), red.data(), green.data(), blue.data()));
    return image;
}

Bytes save(const wxImage& image, wxBitmapType type) {
    wxMemoryOutputStream out;
    if (!(type == wxBITMAP_TYPE_GIF ? withOwnPalette(image) : image).SaveFile(out, type)) {
        ADD_FAILURE() << "the toolkit could not write the picture as type " << type;
        return {};
    }
    Bytes bytes(out.GetSize());
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

// 3 x 2, grey values 10 * (x + 3 * y + 1) from the top row down.
wxImage greyImage() {
    wxImage image(3, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const unsigned char v = static_cast<unsigned char>(10 * (x + 3 * y + 1));
            image.SetRGB(x, y, v, v, v);
        }
    }
    return image;
}

TEST(WxImageLoader, DecodesTheToolkitFormatsBottomRowFirst) {
    wxImage coloured = greyImage();
    coloured.SetRGB(2, 0, 200, 100, 50);
    wxImage withAlpha = greyImage();
    withAlpha.SetAlpha();
    for (int x = 0; x < 3; ++x) {
        withAlpha.SetAlpha(x, 0, 255);
        withAlpha.SetAlpha(x, 1, static_cast<unsigned char>(x * 100));
    }
    const struct {
        const char* name;
        Bytes file;
        ImageFormat format;
        PixelFormat pixelFormat;
        Bytes pixels;
    } cases[] = {
        {"grey PNG", save(greyImage(), wxBITMAP_TYPE_PNG), ImageFormat::png, PixelFormat::Gray8, {40, 50, 60, 10, 20, 30}},
        {"grey GIF", save(greyImage(), wxBITMAP_TYPE_GIF), ImageFormat::gif, PixelFormat::Gray8, {40, 50, 60, 10, 20, 30}},
        {"grey BMP", save(greyImage(), wxBITMAP_TYPE_BMP), ImageFormat::bmp, PixelFormat::Gray8, {40, 50, 60, 10, 20, 30}},
        {"one coloured pixel PNG", save(coloured, wxBITMAP_TYPE_PNG), ImageFormat::png, PixelFormat::Rgb8,
         {40, 40, 40, 50, 50, 50, 60, 60, 60, 10, 10, 10, 20, 20, 20, 200, 100, 50}},
        {"one coloured pixel GIF", save(coloured, wxBITMAP_TYPE_GIF), ImageFormat::gif, PixelFormat::Rgb8,
         {40, 40, 40, 50, 50, 50, 60, 60, 60, 10, 10, 10, 20, 20, 20, 200, 100, 50}},
        {"grey with alpha", save(withAlpha, wxBITMAP_TYPE_PNG), ImageFormat::png, PixelFormat::Rgba8,
         {40, 40, 40, 0, 50, 50, 50, 100, 60, 60, 60, 200, 10, 10, 10, 255, 20, 20, 20, 255, 30, 30, 30, 255}},
    };
    for (const auto& c : cases) {
        const Result<Image> image = Testing::decode(c.file, c.format);
        ASSERT_TRUE(image.ok()) << c.name << ": " << image.error();
        const Image& decoded = image.value();
        EXPECT_EQ(decoded.format(), c.pixelFormat) << c.name;
        EXPECT_EQ(decoded.width(), 3) << c.name;
        EXPECT_EQ(decoded.height(), 2) << c.name;
        EXPECT_EQ(decoded.gamma(), 2.2f) << c.name;
        EXPECT_EQ(Bytes(decoded.pixels().data(), decoded.pixels().data() + decoded.pixels().size()), c.pixels)
            << c.name;
    }

    wxImage photo(16, 8);
    photo.SetRGB(wxRect(0, 0, 16, 8), 200, 40, 40);
    const Result<Image> jpeg = Testing::decode(save(photo, wxBITMAP_TYPE_JPEG), ImageFormat::jpg);
    ASSERT_TRUE(jpeg.ok()) << jpeg.error();
    EXPECT_EQ(jpeg.value().format(), PixelFormat::Rgb8);
    EXPECT_EQ(jpeg.value().width(), 16);
}

// Inside a larger stream the picture is read from the stream's position.
TEST(WxImageLoader, ReadsFromTheStreamsPosition) {
    for (const wxBitmapType type : {wxBITMAP_TYPE_PNG, wxBITMAP_TYPE_BMP, wxBITMAP_TYPE_GIF, wxBITMAP_TYPE_JPEG}) {
        const ImageFormat format = type == wxBITMAP_TYPE_PNG   ? ImageFormat::png
                                   : type == wxBITMAP_TYPE_BMP ? ImageFormat::bmp
                                   : type == wxBITMAP_TYPE_GIF ? ImageFormat::gif
                                                               : ImageFormat::jpg;
        const Bytes file = save(greyImage(), type);
        const Result<Image> alone = Testing::decode(file, format);
        ASSERT_TRUE(alone.ok()) << type << ": " << alone.error();
        const Result<Image> inside = Testing::decode(file, format, 37);
        ASSERT_TRUE(inside.ok()) << type << ": " << inside.error();
        const ByteBuffer& expected = alone.value().pixels();
        const ByteBuffer& pixels = inside.value().pixels();
        EXPECT_EQ(Bytes(pixels.data(), pixels.data() + pixels.size()),
                  Bytes(expected.data(), expected.data() + expected.size()))
            << type;
    }
}

// A stream that fails every read after the first bytes.
class FailingStream : public Io::MemoryInputStream {
public:
    explicit FailingStream(const Bytes& bytes) : Io::MemoryInputStream(bytes.data(), int64_t(bytes.size())) {}

protected:
    int64_t readImpl(void* data, int64_t size) override {
        if (tellg() + size > 16) {
            throw Exception("Cannot read file 'C:/pictures/a.png'");
        }
        return Io::MemoryInputStream::readImpl(data, size);
    }
};

TEST(WxImageLoader, RefusesWhatTheToolkitCannotDecode) {
    const Bytes png = save(greyImage(), wxBITMAP_TYPE_PNG);
    const struct {
        const char* name;
        Bytes file;
        ImageFormat format;
        const char* message;
    } cases[] = {
        {"empty", {}, ImageFormat::bmp, "Failed to load image."},
        {"garbage", Bytes(100, 'x'), ImageFormat::png, "Failed to load image."},
        {"cut PNG", Bytes(png.begin(), png.begin() + png.size() / 2), ImageFormat::png, "Failed to load image."},
        {"PNG read as JPEG", png, ImageFormat::jpg, "Failed to load image."},
        {"no format", png, ImageFormat::determineFromExt, "STOP@tarviolib/image/image(692)"},
    };
    for (const auto& c : cases) {
        const Result<Image> image = Testing::decode(c.file, c.format);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error(), c.message) << c.name;
    }
    FailingStream failing(png);
    const Result<Image> image = Image::load(failing, ImageFormat::png);
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error(), "Failed to load image.");
}

} // namespace
} // namespace Tarvio
