#include "tools/packwriter/packwriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace Tarvio {

namespace {

template <typename T>
void appendLittleEndian(std::vector<uint8_t>& out, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
    }
}

} // namespace

PackWriter::Record PackWriter::stored(std::string name, std::vector<uint8_t> content) {
    const auto size = static_cast<int64_t>(content.size());
    return Record{std::move(name), std::move(content), size, size, 0};
}

PackWriter::Record PackWriter::compressed(std::string name, const std::vector<uint8_t>& content) {
    std::vector<uint8_t> bytes = zlibCompress(content);
    const auto storedSize = static_cast<int64_t>(bytes.size());
    return Record{std::move(name), std::move(bytes), storedSize, static_cast<int64_t>(content.size()), 1};
}

PackWriter::Record PackWriter::automatic(std::string name, const std::vector<uint8_t>& content) {
    if (!content.empty()) {
        Record packed = compressed(name, content);
        if (packed.bytes.size() < content.size()) {
            return packed;
        }
    }
    return stored(std::move(name), content);
}

std::vector<uint8_t> PackWriter::zlibCompress(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib compression failed");
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> PackWriter::directory(const std::vector<Record>& records) {
    std::vector<uint8_t> out;
    for (const Record& record : records) {
        out.insert(out.end(), record.name.begin(), record.name.end());
        out.push_back(0);
        appendLittleEndian(out, record.storedSize);
        appendLittleEndian(out, record.originalSize);
        out.push_back(record.compressed);
    }
    return out;
}

PackWriter::PackWriter(std::ostream& out, uint32_t seed) : mOut(out), mSeed(seed), mDataKeystream(seed) {
    std::vector<uint8_t> header;
    appendLittleEndian(header, Guard);
    appendLittleEndian(header, seed);
    write(header.data(), header.size());
}

void PackWriter::add(const Record& record) {
    writeScrambled(record.bytes, mDataKeystream);
    mRecords.push_back(Record{record.name, {}, record.storedSize, record.originalSize, record.compressed});
}

void PackWriter::finish() {
    finish(directory(mRecords));
}

void PackWriter::finish(const std::vector<uint8_t>& inflatedDirectory) {
    std::vector<uint8_t> stored = zlibCompress(inflatedDirectory);
    const auto length = static_cast<int64_t>(stored.size());
    PackKeystream keystream(mSeed);
    writeScrambled(stored, keystream);
    std::vector<uint8_t> trailer;
    appendLittleEndian(trailer, length);
    write(trailer.data(), trailer.size());
    mOut.flush();
    if (!mOut) {
        throw std::runtime_error("writing the pack failed");
    }
}

std::vector<uint8_t> PackWriter::pack(const std::vector<Record>& records, uint32_t seed) {
    std::ostringstream out(std::ios::binary);
    PackWriter writer(out, seed);
    for (const Record& record : records) {
        writer.add(record);
    }
    writer.finish();
    const std::string bytes = out.str();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void PackWriter::write(const void* data, std::size_t size) {
    mOut.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void PackWriter::writeScrambled(const std::vector<uint8_t>& bytes, PackKeystream& keystream) {
    // In blocks: a payload file may be hundreds of megabytes.
    uint8_t block[65536];
    for (std::size_t done = 0; done < bytes.size(); done += sizeof block) {
        const std::size_t count = std::min(sizeof block, bytes.size() - done);
        std::memcpy(block, bytes.data() + done, count);
        keystream.apply(block, static_cast<int64_t>(count));
        write(block, count);
    }
}

} // namespace Tarvio
