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
// short read, and any Exception of the stream, become OpenEXR's input exception.
class SeekableBinaryInputStreamImfAdapter : public Imf::IStream {
public:
    explicit SeekableBinaryInputStreamImfAdapter(Io::SeekableBinaryInputStream& stream)
        : Imf::IStream(""), mStream(&stream) {}

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
            return static_cast<uint64_t>(mStream->tellg());
        } catch (const Exception& exception) {
            throw Iex::InputExc(exception.what());
        }
    }

    void seekg(uint64_t position) override {
        try {
            mStream->seekg(static_cast<int64_t>(position), SeekOrigin::Begin);
        } catch (const Exception& exception) {
            throw Iex::InputExc(exception.what());
        }
    }

    void clear() override {}

private:
    Io::SeekableBinaryInputStream* mStream;
};

// Header checks refuse larger data windows before OpenEXR sizes its own buffers for them.
constexpr int MaxDimension = 65535;

// OpenEXR's classic reader allocates each header attribute's declared size before reading it, so
// a damaged size would have it allocate gigabytes for a file of a few bytes. OpenEXR's core reader
// validates the header against the stream's size first, reading through the same stream.
int64_t coreRead(exr_const_context_t, void* client, void* buffer, uint64_t size, uint64_t offset,
                 exr_stream_error_func_ptr_t) {
    return static_cast<Detail::StreamClient*>(client)->guarded(int64_t(-1), [&](Io::SeekableBinaryInputStream& stream) {
        stream.seekg(static_cast<int64_t>(offset), SeekOrigin::Begin);
        return stream.read(buffer, static_cast<int64_t>(size));
    });
}

int64_t coreSize(exr_const_context_t, void* client) {
    return static_cast<Detail::StreamClient*>(client)->size();
}

void coreQuiet(exr_const_context_t, exr_result_t, const char*) {}

void checkHeader(Io::SeekableBinaryInputStream& stream) {
    const int64_t start = stream.tellg();
    Detail::StreamClient client(stream);
    exr_context_initializer_t init = EXR_DEFAULT_CONTEXT_INITIALIZER;
    init.user_data = &client;
    init.read_fn = coreRead;
    init.size_fn = coreSize;
    init.error_handler_fn = coreQuiet;
    init.flags = EXR_CONTEXT_FLAG_STRICT_HEADER | EXR_CONTEXT_FLAG_SILENT_HEADER_PARSE;
    init.max_image_width = MaxDimension;
    init.max_image_height = MaxDimension;
    exr_context_t context = nullptr;
    const exr_result_t result = exr_start_read(&context, "Stream", &init);
    if (context) {
        exr_finish(&context);
    }
    client.rethrowPending();
    stream.seekg(start, SeekOrigin::Begin);
    if (result != EXR_ERR_SUCCESS) {
        throw Exception("Failed to load EXR (" + String::fromUtf8(exr_get_default_error_message(result)) + ").");
    }
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
        allocatePixels(width, height, format, "Failed to load EXR (data window too large).");
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
