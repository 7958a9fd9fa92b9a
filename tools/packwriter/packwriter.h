#pragma once

#include "tarviolib/io/packkeystream.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace Tarvio {

// Writes pack files: the guard and seed, each record's bytes scrambled back to back, then the
// scrambled zlib directory and its length. Plain standard C++ and zlib: it runs on the build
// host, and tests use it to forge damaged packs.
class PackWriter {
public:
    static constexpr uint32_t Guard = 0x36548521u;
    static constexpr uint32_t DefaultSeed = 0x2F6B1D93u;

    // One file as it goes into the pack. The sizes are written as given, so a record may lie
    // about its bytes.
    struct Record {
        std::string name; // UTF-8, as it stands in the directory
        std::vector<uint8_t> bytes; // what the data area holds, before scrambling
        int64_t storedSize = 0;
        int64_t originalSize = 0;
        uint8_t compressed = 0;
    };

    static Record stored(std::string name, std::vector<uint8_t> content);
    // The content as one zlib stream.
    static Record compressed(std::string name, const std::vector<uint8_t>& content);
    // Compressed when that makes it smaller; empty content is always stored.
    static Record automatic(std::string name, const std::vector<uint8_t>& content);

    static std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& data);
    // The directory text of the records: name, NUL, storedSize, originalSize, compressed flag.
    static std::vector<uint8_t> directory(const std::vector<Record>& records);

    // Writes the header.
    PackWriter(std::ostream& out, uint32_t seed);

    // Appends the record's bytes to the data area and the record to the directory.
    void add(const Record& record);
    // The directory of the added records, its length, and a flush. Throws on a write failure.
    void finish();
    // The same with a directory of the caller's (its inflated form); the added records' own
    // directory is dropped.
    void finish(const std::vector<uint8_t>& inflatedDirectory);

    // A whole pack in memory.
    static std::vector<uint8_t> pack(const std::vector<Record>& records, uint32_t seed = DefaultSeed);

private:
    void write(const void* data, std::size_t size);
    void writeScrambled(const std::vector<uint8_t>& bytes, PackKeystream& keystream);

    std::ostream& mOut;
    uint32_t mSeed;
    PackKeystream mDataKeystream;
    std::vector<Record> mRecords; // without their bytes
};

} // namespace Tarvio
