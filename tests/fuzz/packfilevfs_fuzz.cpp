// The pack reader over arbitrary bytes: construction, listing, lookups, and reading and seeking
// every file. Any exception of the library is an answer; only a crash, a leak, undefined
// behaviour or a hang is a finding.
//
// An input whose first byte is 0 is a pack in plain form, which this target scrambles and
// compresses first, so that mutations reach the directory records and the files' contents:
// that byte, the seed (4 bytes), the data area's length L (2 bytes), L bytes of data, and the
// inflated directory. Any other input is read as the pack itself.

#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/packfilevfs.h"
#include "tools/packwriter/packwriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

namespace {

void readThrough(Tarvio::Io::SeekableBinaryInputStream& stream, int64_t size) {
    uint8_t block[4096];
    while (stream.read(block, sizeof block) > 0) {
    }
    stream.seekg(size / 2, Tarvio::SeekOrigin::Begin);
    stream.read(block, sizeof block);
    stream.seekg(0, Tarvio::SeekOrigin::End);
    stream.read(block, 1);
}

void exercise(const uint8_t* data, std::size_t size) {
    Tarvio::PackFileVfs vfs(data, static_cast<int32_t>(size));
    const Tarvio::String png = "png";
    vfs.listFiles("", false, &png, 1);
    for (const Tarvio::String& name : vfs.listFiles("", true, nullptr, 0)) {
        const Tarvio::Io::Path path(name);
        vfs.exists(path);
        vfs.fileId(path);
        vfs.listFiles(path.parent(), false, nullptr, 0);
        try {
            readThrough(*vfs.open(path), vfs.fileSize(path));
        } catch (const std::exception&) {
            // One damaged file does not keep the others from being read.
        }
        try {
            const Tarvio::UniquePtr<Tarvio::Io::ReadAheadInputStream> stream = vfs.openSequential(path);
            const uint8_t* block = nullptr;
            while (stream->readBlock(block) > 0) {
            }
        } catch (const std::exception&) {
        }
    }
}

std::vector<uint8_t> packFromPlainForm(const uint8_t* data, std::size_t size) {
    constexpr std::size_t Header = 1 + 4 + 2;
    if (size < Header) {
        return {};
    }
    uint32_t seed = 0;
    std::memcpy(&seed, data + 1, 4);
    const std::size_t dataLength = std::min<std::size_t>(data[5] | (data[6] << 8), size - Header);
    Tarvio::PackWriter::Record area;
    area.bytes.assign(data + Header, data + Header + dataLength);
    std::ostringstream out;
    Tarvio::PackWriter writer(out, seed);
    writer.add(area);
    writer.finish(std::vector<uint8_t>(data + Header + dataLength, data + size));
    const std::string pack = out.str();
    return std::vector<uint8_t>(pack.begin(), pack.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > 0x7FFFFFFF) {
        return 0;
    }
    try {
        if (size > 0 && data[0] == 0) {
            const std::vector<uint8_t> pack = packFromPlainForm(data, size);
            exercise(pack.data(), pack.size());
        } else {
            exercise(data, size);
        }
    } catch (const std::exception&) {
    }
    return 0;
}
