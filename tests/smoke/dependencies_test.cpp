// Proves that the cross-built static dependencies link and work together in one exe: wxWidgets'
// image handlers over libpng, libjpeg and libtiff (each with zlib), and OpenEXR with Imath and
// its worker threads.

#include <wx/image.h>
#include <wx/init.h>
#include <wx/mstream.h>

#include <ImfArray.h>
#include <ImfHeader.h>
#include <ImfRgbaFile.h>
#include <ImfThreading.h>
#include <tiffio.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A file in the temp folder, removed when the test ends.
class TempFile {
public:
    explicit TempFile(const std::string& suffix)
        : path_(fs::temp_directory_path() /
                ("tarvio-smoke-" + std::to_string(std::random_device{}()) + suffix)) {}
    ~TempFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string str() const { return path_.string(); }

    std::vector<unsigned char> read() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    fs::path path_;
};

// A deterministic RGB pattern that differs in every channel and pixel.
unsigned char patternValue(int x, int y, int channel) {
    return static_cast<unsigned char>((x * 37 + y * 91 + channel * 53) & 0xff);
}

wxImage patternImage(int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, patternValue(x, y, 0), patternValue(x, y, 1), patternValue(x, y, 2));
    return image;
}

std::vector<unsigned char> saveToMemory(const wxImage& image, wxBitmapType type) {
    wxMemoryOutputStream out;
    EXPECT_TRUE(image.SaveFile(out, type));
    std::vector<unsigned char> bytes(out.GetSize());
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

wxImage loadFromMemory(const std::vector<unsigned char>& bytes, wxBitmapType type) {
    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxImage image;
    EXPECT_TRUE(image.LoadFile(in, type));
    return image;
}

// Writes an RGB TIFF with libtiff's own API, in strips of 8 rows.
void writeTiff(const std::string& path, int width, int height, std::uint16_t compression,
               const std::vector<unsigned char>& rgb) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
    for (int y = 0; y < height; ++y) {
        std::vector<unsigned char> row(rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
        ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0), 1);
    }
    TIFFClose(tiff);
}

class ImageHandlers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        initializer_ = std::make_unique<wxInitializer>();
        wxImage::AddHandler(new wxPNGHandler);
        wxImage::AddHandler(new wxJPEGHandler);
        wxImage::AddHandler(new wxTIFFHandler);
    }
    static void TearDownTestSuite() {
        wxImage::CleanUpHandlers();
        initializer_.reset();
    }
    void SetUp() override { ASSERT_TRUE(initializer_->IsOk()); }

private:
    static std::unique_ptr<wxInitializer> initializer_;
};
std::unique_ptr<wxInitializer> ImageHandlers::initializer_;

TEST_F(ImageHandlers, PngRoundTripsThroughMemoryExactly) {
    const wxImage original = patternImage(7, 5);
    const auto bytes = saveToMemory(original, wxBITMAP_TYPE_PNG);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");

    const wxImage decoded = loadFromMemory(bytes, wxBITMAP_TYPE_PNG);
    ASSERT_EQ(decoded.GetWidth(), 7);
    ASSERT_EQ(decoded.GetHeight(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(decoded.GetRed(x, y), patternValue(x, y, 0)) << x << "," << y;
            EXPECT_EQ(decoded.GetGreen(x, y), patternValue(x, y, 1)) << x << "," << y;
            EXPECT_EQ(decoded.GetBlue(x, y), patternValue(x, y, 2)) << x << "," << y;
        }
}

TEST_F(ImageHandlers, JpegRoundTripStaysClose) {
    wxImage original(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            original.SetRGB(x, y, 200, 100, 50);
    original.SetOption(wxIMAGE_OPTION_QUALITY, 95);
    const auto bytes = saveToMemory(original, wxBITMAP_TYPE_JPEG);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xff);
    EXPECT_EQ(bytes[1], 0xd8);

    const wxImage decoded = loadFromMemory(bytes, wxBITMAP_TYPE_JPEG);
    ASSERT_EQ(decoded.GetWidth(), 16);
    EXPECT_NEAR(decoded.GetRed(8, 8), 200, 6);
    EXPECT_NEAR(decoded.GetGreen(8, 8), 100, 6);
    EXPECT_NEAR(decoded.GetBlue(8, 8), 50, 6);
}

TEST_F(ImageHandlers, DeflateTiffWrittenByLibtiffDecodesExactly) {
    constexpr int width = 9, height = 11;
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.push_back(patternValue(x, y, c));
    TempFile file(".tif");
    ASSERT_NO_FATAL_FAILURE(writeTiff(file.str(), width, height, COMPRESSION_ADOBE_DEFLATE, rgb));
    const auto bytes = file.read();
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 'I');

    const wxImage decoded = loadFromMemory(bytes, wxBITMAP_TYPE_TIFF);
    ASSERT_EQ(decoded.GetWidth(), width);
    ASSERT_EQ(decoded.GetHeight(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(decoded.GetRed(x, y), patternValue(x, y, 0)) << x << "," << y;
            EXPECT_EQ(decoded.GetGreen(x, y), patternValue(x, y, 1)) << x << "," << y;
            EXPECT_EQ(decoded.GetBlue(x, y), patternValue(x, y, 2)) << x << "," << y;
        }
}

// libtiff's JPEG codec reaches into libjpeg: the static link order matters here.
TEST_F(ImageHandlers, JpegCompressedTiffDecodes) {
    constexpr int width = 16, height = 16;
    std::vector<unsigned char> rgb;
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {30, 160, 220});
    TempFile file(".tif");
    ASSERT_NO_FATAL_FAILURE(writeTiff(file.str(), width, height, COMPRESSION_JPEG, rgb));

    const wxImage decoded = loadFromMemory(file.read(), wxBITMAP_TYPE_TIFF);
    ASSERT_EQ(decoded.GetWidth(), width);
    EXPECT_NEAR(decoded.GetRed(5, 5), 30, 8);
    EXPECT_NEAR(decoded.GetGreen(5, 5), 160, 8);
    EXPECT_NEAR(decoded.GetBlue(5, 5), 220, 8);
}

// Enough rows for several ZIP blocks, so that the worker threads share the work.
TEST(OpenExr, RgbaFileRoundTripsHalfPixelsWithThreads) {
    constexpr int width = 40, height = 70;
    Imf::setGlobalThreadCount(3);
    auto expected = [](int x, int y) {
        // Small multiples of 1/8 are exact in half precision.
        return Imf::Rgba(half(x * 0.125f), half(y * 0.25f), half((x + y) % 8 * 0.5f), half(1.0f));
    };
    Imf::Array2D<Imf::Rgba> pixels(height, width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y][x] = expected(x, y);

    TempFile file(".exr");
    {
        Imf::Header header(width, height);
        header.compression() = Imf::ZIP_COMPRESSION;
        Imf::RgbaOutputFile out(file.str().c_str(), header, Imf::WRITE_RGBA);
        out.setFrameBuffer(&pixels[0][0], 1, width);
        out.writePixels(height);
    }

    Imf::RgbaInputFile in(file.str().c_str());
    const Imath::Box2i window = in.dataWindow();
    ASSERT_EQ(window.max.x - window.min.x + 1, width);
    ASSERT_EQ(window.max.y - window.min.y + 1, height);
    EXPECT_EQ(in.header().compression(), Imf::ZIP_COMPRESSION);
    Imf::Array2D<Imf::Rgba> read(height, width);
    in.setFrameBuffer(&read[0][0] - window.min.x - window.min.y * width, 1, width);
    in.readPixels(window.min.y, window.max.y);
    Imf::setGlobalThreadCount(0);

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Imf::Rgba want = expected(x, y);
            ASSERT_EQ(float(read[y][x].r), float(want.r)) << x << "," << y;
            ASSERT_EQ(float(read[y][x].g), float(want.g)) << x << "," << y;
            ASSERT_EQ(float(read[y][x].b), float(want.b)) << x << "," << y;
            ASSERT_EQ(float(read[y][x].a), 1.0f) << x << "," << y;
        }
}

}  // namespace
