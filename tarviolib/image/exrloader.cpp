// OpenEXR pictures into float images, through an adapter from the library's streams.

#include "tarviolib/core/exception.h"
#include "tarviolib/image/detail/streamclient.h"
#include "tarviolib/image/image.h"

#include <Iex.h>
#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfInputFile.h>
#include <ImfThreading.h>
#include <openexr.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace Tarvio {

namespace {

// OpenEXR reads through this. It takes a short read for a complete one unless read throws, so a
// short read, and any Exception of the stream, become OpenEXR's input exception. The file starts
// at the stream's position when the adapter is made: OpenEXR's offsets count from there.
class SeekableBinaryInputStreamImfAdapter : public Imf::IStream {
public:
    explicit SeekableBinaryInputStreamImfAdapter(Io::SeekableBinaryInputStream& stream)
        : Imf::IStream(""), mStream(&stream), mStart(stream.tellg()) {}

    bool read(char buffer[], int n) override {
        int64_t count = 0;
        try {
            count = n > 0 ? mStream->read(buffer, n) : 0;
        } catch (const Exception& exception) {
            throw Iex::InputExc(exception.what());
        }
        if (count != n) {
            throw Iex::InputExc("Unexpected end of file.");
        }
        return true;
    }

    uint64_t tellg() override {
        try {
            return static_cast<uint64_t>(mStream->tellg() - mStart);
        } catch (const Exception& exception) {
            throw Iex::InputExc(exception.what());
        }
    }

    void seekg(uint64_t position) override {
        try {
            mStream->seekg(Detail::streamPosition(mStart, position), SeekOrigin::Begin);
        } catch (const Exception& exception) {
            throw Iex::InputExc(exception.what());
        }
    }

    void clear() override {}

private:
    Io::SeekableBinaryInputStream* mStream;
    int64_t mStart;
};

// Header checks refuse larger data windows before OpenEXR sizes its own buffers for them.
constexpr int MaxDimension = 65535;

constexpr const char* TooLarge = "Failed to load EXR (data window too large).";

// OpenEXR's classic reader allocates each header attribute's declared size before reading it, so
// a damaged size would have it allocate gigabytes for a file of a few bytes. OpenEXR's core reader
// validates the header against the stream's size first, reading through the same stream.
int64_t coreRead(exr_const_context_t, void* client, void* buffer, uint64_t size, uint64_t offset,
                 exr_stream_error_func_ptr_t) {
    auto& streamClient = *static_cast<Detail::StreamClient*>(client);
    return streamClient.guarded(int64_t(-1), [&](Io::SeekableBinaryInputStream& stream) {
        stream.seekg(streamClient.position(offset), SeekOrigin::Begin);
        return stream.read(buffer, static_cast<int64_t>(size));
    });
}

int64_t coreSize(exr_const_context_t, void* client) {
    return static_cast<Detail::StreamClient*>(client)->size();
}

void coreQuiet(exr_const_context_t, exr_result_t, const char*) {}

void throwIfFailed(exr_result_t result) {
    if (result != EXR_ERR_SUCCESS) {
        throw Exception("Failed to load EXR (" + String::fromUtf8(exr_get_default_error_message(result)) + ").");
    }
}

// The classic reader sizes its decoding buffers for one block of every channel (the lines of one
// chunk, or one tile, across the data window), whatever the file holds: a header of a few bytes
// may ask for hundreds of megabytes. Neither a block nor the whole picture may pass MaxPixelBytes.
void checkPartSize(exr_const_context_t context, int part) {
    exr_attr_box2i_t window{};
    const exr_attr_chlist_t* channels = nullptr;
    exr_storage_t storage = EXR_STORAGE_SCANLINE;
    throwIfFailed(exr_get_data_window(context, part, &window));
    throwIfFailed(exr_get_channels(context, part, &channels));
    throwIfFailed(exr_get_storage(context, part, &storage));
    int64_t pixelBytes = 0;
    for (int i = 0; i < channels->num_channels; ++i) {
        pixelBytes += channels->entries[i].pixel_type == EXR_PIXEL_HALF ? 2 : 4;
    }
    // The core reader has checked both sides against MaxDimension.
    const int64_t width = std::max<int64_t>(int64_t(window.max.x) - window.min.x + 1, 1);
    const int64_t height = std::max<int64_t>(int64_t(window.max.y) - window.min.y + 1, 1);
    int64_t blockWidth = width;
    int64_t blockLines = 0;
    if (storage == EXR_STORAGE_TILED || storage == EXR_STORAGE_DEEP_TILED) {
        uint32_t tileWidth = 0;
        uint32_t tileHeight = 0;
        throwIfFailed(exr_get_tile_descriptor(context, part, &tileWidth, &tileHeight, nullptr, nullptr));
        blockWidth = std::max<int64_t>(blockWidth, tileWidth);
        blockLines = tileHeight;
    } else {
        int32_t lines = 0;
        throwIfFailed(exr_get_scanlines_per_chunk(context, part, &lines));
        blockLines = lines;
    }
    // Every side is at most MaxDimension, so a line's bytes stay far inside 64 bits; the lines
    // are checked by division.
    const auto exceeds = [](int64_t bytesPerLine, int64_t lines) {
        return bytesPerLine > Image::MaxPixelBytes || lines > Image::MaxPixelBytes / bytesPerLine;
    };
    if (pixelBytes > 0 && (exceeds(pixelBytes * blockWidth, blockLines) || exceeds(pixelBytes * width, height))) {
        throw Exception(TooLarge);
    }
}

class CoreContext : public Noncopyable {
public:
    ~CoreContext() {
        if (mContext) {
            exr_finish(&mContext);
        }
    }
    exr_context_t* out() { return &mContext; }
    exr_const_context_t get() const { return mContext; }

private:
    exr_context_t mContext = nullptr;
};

// Reads the header from the stream's position and leaves the stream there.
void checkHeader(Io::SeekableBinaryInputStream& stream) {
    Detail::StreamClient client(stream);
    exr_context_initializer_t init = EXR_DEFAULT_CONTEXT_INITIALIZER;
    init.user_data = &client;
    init.read_fn = coreRead;
    init.size_fn = coreSize;
    init.error_handler_fn = coreQuiet;
    init.flags = EXR_CONTEXT_FLAG_STRICT_HEADER | EXR_CONTEXT_FLAG_SILENT_HEADER_PARSE;
    init.max_image_width = MaxDimension;
    init.max_image_height = MaxDimension;
    init.max_tile_width = MaxDimension;
    init.max_tile_height = MaxDimension;
    CoreContext context;
    const exr_result_t result = exr_start_read(context.out(), "Stream", &init);
    client.rethrowPending();
    throwIfFailed(result);
    int parts = 0;
    throwIfFailed(exr_get_count(context.get(), &parts));
    for (int part = 0; part < parts; ++part) {
        checkPartSize(context.get(), part);
    }
    stream.seekg(client.start(), SeekOrigin::Begin);
}

} // namespace

void Image::loadExr(Io::SeekableBinaryInputStream& stream) {
    static std::once_flag limits;
    std::call_once(limits, [] {
        Imf::Header::setMaxImageSize(MaxDimension, MaxDimension);
        Imf::Header::setMaxTileSize(MaxDimension, MaxDimension);
    });
    checkHeader(stream);
    try {
        SeekableBinaryInputStreamImfAdapter adapter(stream);
        Imf::InputFile file(adapter, Imf::globalThreadCount());
        const Imf::Header& header = file.header();

        std::vector<std::string> names;
        for (auto channel = header.channels().begin(); channel != header.channels().end(); ++channel) {
            names.emplace_back(channel.name());
        }
        const auto has = [&names](const char* name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        std::vector<std::string> read;
        PixelFormat format;
        if (has("R") && has("G") && has("B")) {
            read = {"R", "G", "B"};
            format = PixelFormat::RgbFloat;
            if (has("A")) {
                read.emplace_back("A");
                format = PixelFormat::RgbaFloat;
            }
        } else if (names.size() == 1) {
            read = names;
            format = PixelFormat::GrayFloat;
        } else {
            throw Exception("Unsupported EXR channel set.");
        }
        mGamma = 1.0f;

        const Imath::Box2i window = header.dataWindow();
        const bool empty = window.max.x < window.min.x || window.max.y < window.min.y;
        const int64_t width = empty ? 1 : int64_t(window.max.x) - window.min.x + 1;
        const int64_t height = empty ? 1 : int64_t(window.max.y) - window.min.y + 1;
        allocatePixels(width, height, format, TooLarge);
        if (empty) {
            std::memset(mPixels.data(), 0, static_cast<std::size_t>(mPixels.size()));
            return;
        }
        const std::size_t pixelBytes = static_cast<std::size_t>(bytesPerPixel(format));
        for (std::size_t i = 0; i < read.size(); ++i) {
            Imf::FrameBuffer frameBuffer;
            // Slice::Make finds the base for the window's origin without 32-bit overflow.
            frameBuffer.insert(read[i], Imf::Slice::Make(Imf::FLOAT, mPixels.data() + 4 * i, window.min, width, height,
                                                         pixelBytes, pixelBytes * static_cast<std::size_t>(width)));
            file.setFrameBuffer(frameBuffer);
            file.readPixels(window.min.y, window.max.y);
        }
        if (header.lineOrder() == Imf::INCREASING_Y) {
            flipVertically();
        }
    } catch (const Iex::BaseExc& exception) {
        throw Exception("Failed to load EXR (" + String::fromUtf8(exception.what()) + ").");
    }
}

} // namespace Tarvio
