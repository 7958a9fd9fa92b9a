// Throughput of the pack road against its limits, measured in one run on the same data:
//   packbench [WORK_FOLDER]
// A 256 MiB file, stored and compressed in one pack on disk, is extracted to disk through the
// deployment environment; the baselines are the bare keystream over the same bytes in memory, on
// one thread (the descrambling limit), Io::copyFile of the same bytes (the disk limit) and raw
// zlib inflate of the same compressed stream. The reading side of each extraction without its
// writes, and the writes alone, show where the time goes. Each figure is the best of a few runs. Then the time to open a
// pack of 10,000 entries, and to open packs whose data area is 1 GiB (one stored file; 10,000
// files) and seek to the end of the 1 GiB file, against stepping the keystream over 1 GiB as
// opening and seeking did before the keystream could jump. The large packs are sparse files: their
// data areas are holes that neither opening nor seeking reads.

#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/packfilevfs.h"
#include "tarviolib/io/packkeystream.h"
#include "tarviolib/io/parallelcopy.h"
#include "tarviolib/io/readaheadinputstream.h"
#include "tarviolib/io/replacementfile.h"
#include "tools/packwriter/packwriter.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Tarvio::PackWriter;
using Bytes = std::vector<uint8_t>;

constexpr std::size_t Size = 256u << 20;
constexpr int Runs = 3;
constexpr int PairedRuns = 5;
constexpr double MiB = 1024.0 * 1024.0;

// Seconds of the fastest of Runs calls, each after an untimed call of before.
double best(const std::function<void()>& work, int runs = Runs, const std::function<void()>& before = [] {}) {
    double fastest = 1e30;
    for (int i = 0; i < runs; ++i) {
        before();
        const auto start = std::chrono::steady_clock::now();
        work();
        fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

void require(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

// Roughly like program files: words of a small vocabulary between runs of noise (about 3:1 in zlib).
Bytes makeData() {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::vector<std::string> words;
    for (int i = 0; i < 512; ++i) {
        std::string word;
        for (uint64_t length = 3 + next() % 10; length > 0; --length) {
            word += static_cast<char>('a' + next() % 26);
        }
        words.push_back(word);
    }
    Bytes data;
    data.reserve(Size);
    while (data.size() < Size) {
        const uint64_t pick = next();
        if (pick % 10 < 8) {
            const std::string& word = words[(pick >> 8) % words.size()];
            data.insert(data.end(), word.begin(), word.end());
        } else {
            for (uint64_t count = 1 + (pick >> 8) % 6; count > 0; --count) {
                data.push_back(static_cast<uint8_t>(next()));
            }
        }
    }
    data.resize(Size);
    return data;
}

void inflateWhole(const Bytes& compressed, Bytes& out) {
    z_stream stream{};
    require(inflateInit(&stream) == Z_OK, "inflateInit");
    stream.next_in = const_cast<Bytes::value_type*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    require(status == Z_STREAM_END && stream.total_out == out.size(), "inflate");
}

void print(const char* what, double seconds, double bytes = Size) {
    std::printf("  %-44s %8.1f MiB/s  (%.3f s)\n", what, bytes / MiB / seconds, seconds);
}

// A pack on disk whose data area is a hole of the records' stored sizes.
void writeSparsePack(const Tarvio::Io::Path& file, const std::vector<PackWriter::Record>& records) {
    int64_t dataSize = 0;
    for (const PackWriter::Record& record : records) {
        dataSize += record.storedSize;
    }
    std::ofstream out(file.toString().toUtf8().text(), std::ios::binary | std::ios::trunc);
    PackWriter writer(out, PackWriter::DefaultSeed);
    out.seekp(8 + dataSize);
    writer.finish(PackWriter::directory(records));
}

PackWriter::Record sizedRecord(std::string name, int64_t size) {
    PackWriter::Record record;
    record.name = std::move(name);
    record.storedSize = record.originalSize = size;
    return record;
}

void openLargePacks(const Tarvio::Io::Path& work) {
    constexpr int64_t GiB = int64_t{1} << 30;
    const Tarvio::Io::Path onePack = work / "one.pack", manyPack = work / "many.pack";
    writeSparsePack(onePack, {sizedRecord("large.bin", GiB)});
    std::vector<PackWriter::Record> records;
    for (int i = 0; i < 10000; ++i) {
        records.push_back(sizedRecord("folder/file" + std::to_string(i) + ".bin", GiB / 10000 + (i < GiB % 10000)));
    }
    writeSparsePack(manyPack, records);

    std::printf("\nPacks whose data area is 1 GiB\n");
    // Opening and seeking before: one step per byte, as apply does it in runs too short to be cut
    // into lanes (without its XOR).
    Bytes scratch(4096);
    Tarvio::PackKeystream keystream(PackWriter::DefaultSeed);
    const double steppedTime = best(
        [&] {
            for (int64_t done = 0; done < GiB; done += static_cast<int64_t>(scratch.size())) {
                keystream.apply(scratch.data(), static_cast<int64_t>(scratch.size()));
            }
        },
        1);
    std::printf("  %-44s %8.1f ms\n", "stepping the keystream over 1 GiB (before)", steppedTime * 1e3);
    const double oneTime = best([&] { Tarvio::PackFileVfs vfs(onePack); }, 5);
    std::printf("  %-44s %8.3f ms  (%.0fx faster; aim under 1 ms)\n", "opening, one stored file of 1 GiB",
                oneTime * 1e3, steppedTime / oneTime);
    const double manyTime = best([&] { Tarvio::PackFileVfs vfs(manyPack); }, 5);
    std::printf("  %-44s %8.3f ms  (%.0fx faster)\n", "opening, 10,000 files", manyTime * 1e3,
                steppedTime / manyTime);
    // The rest is reading the directory, as for a pack of the same entries with little data.
    const double jumpsTime = best(
        [&] {
            Tarvio::PackKeystream walker(PackWriter::DefaultSeed);
            for (const PackWriter::Record& record : records) {
                walker.advance(record.storedSize);
            }
            require(walker.state() != 0, "jumps");
        },
        5);
    std::printf("  %-44s %8.3f ms\n", "  of which the 10,000 keystream jumps", jumpsTime * 1e3);
    Tarvio::PackFileVfs vfs(onePack);
    Tarvio::UniquePtr<Tarvio::Io::SeekableBinaryInputStream> stream = vfs.open("large.bin");
    uint8_t last = 0;
    const double seekTime = best(
        [&] {
            stream->seekg(-1, Tarvio::SeekOrigin::End);
            require(stream->read(&last, 1) == 1, "read after seek");
        },
        5);
    std::printf("  %-44s %8.3f ms  (%.0fx faster)\n", "seek to the last byte of the file, and read it",
                seekTime * 1e3, steppedTime / seekTime);
    stream.reset();
    Tarvio::Io::removeFile(onePack);
    Tarvio::Io::removeFile(manyPack);
}

int run(const Tarvio::Io::Path& work) {
    const Tarvio::Io::Path raw = work / "raw.bin", copy = work / "copy.bin", pack = work / "bench.pack";
    const Tarvio::Io::Path storedOut = work / "out/stored.bin", compressedOut = work / "out/compressed.bin";

    std::printf("Preparing 256 MiB of data and the pack ...\n");
    Bytes data = makeData();
    Tarvio::Io::writeFile(raw, data.data(), static_cast<int32_t>(data.size()));
    PackWriter::Record compressed = PackWriter::compressed("payload/compressed.bin", data);
    PackWriter::Record stored = PackWriter::stored("payload/stored.bin", std::move(data));
    {
        std::ofstream out(pack.toString().toUtf8().text(), std::ios::binary | std::ios::trunc);
        PackWriter writer(out, PackWriter::DefaultSeed);
        writer.add(stored);
        writer.add(compressed);
        writer.finish();
    }
    std::printf("  compressed stream: %.1f MiB (%.2f:1)\n\n", compressed.bytes.size() / MiB,
                double(Size) / compressed.bytes.size());

    std::printf("Baselines\n");
    Tarvio::PackKeystream keystream(PackWriter::DefaultSeed);
    // Over the bytes in memory, one thread: one step after another (runs too short for lanes), as
    // before lanes; in scalar lanes; in the lanes that extraction uses.
    const double singleTime = best([&] {
        for (std::size_t done = 0; done < Size; done += 4096) {
            keystream.apply(stored.bytes.data() + done, 4096);
        }
    });
    print("keystream, one step after another", singleTime);
    std::printf("  %-44s %8.2f ns/byte\n", "", singleTime * 1e9 / Size);
    const auto laned = [&](Tarvio::PackKeystream::Lanes lanes) {
        return best([&] { keystream.apply(stored.bytes.data(), static_cast<int64_t>(Size), lanes); });
    };
    const double scalarTime = laned(Tarvio::PackKeystream::Lanes::Scalar);
    print("keystream in scalar lanes", scalarTime);
    std::printf("  %-44s %8.2f ns/byte\n", "", scalarTime * 1e9 / Size);
    const bool sse2 = Tarvio::PackKeystream::fastestLanes() == Tarvio::PackKeystream::Lanes::Sse2;
    const double keystreamTime = sse2 ? laned(Tarvio::PackKeystream::Lanes::Sse2) : scalarTime;
    if (sse2) {
        print("keystream in SSE2 lanes", keystreamTime);
        std::printf("  %-44s %8.2f ns/byte\n", "", keystreamTime * 1e9 / Size);
    }
    // Every write goes to a new file, as in a first installation: replacing a file costs the file
    // system more (the old file's release, a flush of the new one on some), and differently for
    // a copy and an extraction.
    const auto removeCopy = [&] { Tarvio::Io::removeFile(copy); };
    const auto copyOnce = [&] { require(Tarvio::Io::copyFile(raw, copy, true), "copyFile"); };
    double copyTime = best(copyOnce, Runs, removeCopy);
    print("Io::copyFile of the bytes", copyTime);
    // The writing side of the copy alone.
    const double writeTime = best([&] {
        Tarvio::Io::ReplacementFile file(copy);
        for (std::size_t done = 0; done < Size; done += Tarvio::Io::ReadAheadInputStream::BlockSize) {
            file.stream().write(stored.bytes.data() + done, Tarvio::Io::ReadAheadInputStream::BlockSize);
        }
        file.commit();
    }, Runs, removeCopy);
    print("its writes alone: the bytes from memory, in blocks", writeTime);
    Bytes inflated(Size);
    const auto inflateOnce = [&] { inflateWhole(compressed.bytes, inflated); };
    double inflateTime = best(inflateOnce);
    print("raw zlib inflate of the compressed stream", inflateTime);
    stored.bytes = Bytes();

    std::printf("\nExtraction to disk through the deployment environment, keystream in %s lanes:\n"
                "  stored: %d workers that read, unscramble and write in turn, one block each\n"
                "  compressed: one unscrambling worker, one inflating, the writes on the caller\n"
                "  (%u logical processors; the blocks of at most %d workers, %lld MiB, in memory at once)\n",
                sse2 ? "SSE2" : "scalar", Tarvio::Io::parallelCopyWorkerCount(int64_t{Size}),
                std::thread::hardware_concurrency(),
                Tarvio::Io::ReadAheadInputStream::MaxWorkers,
                static_cast<long long>(Tarvio::Io::ReadAheadInputStream::WorkerBlocksBound >> 20));
    const Bytes empty = PackWriter::pack({});
    Tarvio::DeploymentEnvironment environment(empty.data(), static_cast<int32_t>(empty.size()));
    environment.addPackFile(pack);
    const auto extract = [&environment](const Tarvio::Io::Path& target, const char* source) {
        const Tarvio::Result<Tarvio::Io::Path> result = environment.extractFile(target, source, 0);
        require(result.ok(), "extractFile");
    };
    // Where the time goes: the whole file into memory, which the extraction then writes.
    print("stored file read into memory (readFile)",
          best([&] { require(environment.readFile("payload/stored.bin").value().size() == int32_t{Size}, "read"); }));
    print("compressed file read into memory (readFile)",
          best([&] { require(environment.readFile("payload/compressed.bin").value().size() == int32_t{Size}, "read"); }));
    // The reading side of each extraction alone, read as the extraction reads it, its blocks
    // dropped: a stored file copied in parallel from its parts into a sink that drops them (the
    // workers still take turns), a compressed one read in blocks from its sequential stream.
    Tarvio::PackFileVfs packVfs(pack);
    const double storedReadTime = best([&packVfs] {
        int64_t total = 0;
        Tarvio::Io::copyInParallel(packVfs.openInParts("payload/stored.bin"), int64_t{Size},
                                   [&total](const uint8_t*, int64_t count) { total += count; });
        require(total == int64_t{Size}, "read in parts");
    });
    print("stored file read in blocks, not written", storedReadTime);
    const double compressedReadTime = best([&packVfs] {
        Tarvio::UniquePtr<Tarvio::Io::ReadAheadInputStream> stream = packVfs.openSequential("payload/compressed.bin");
        const uint8_t* block = nullptr;
        int64_t total = 0;
        for (int64_t count = 0; (count = stream->readBlock(block)) > 0;) {
            total += count;
        }
        require(total == int64_t{Size}, "read sequentially");
    });
    print("compressed file read in blocks, not written", compressedReadTime);
    // Each extraction beside its baseline, taken again between its runs: on a shared machine the
    // load changes from one second to the next, and the disk's writeback with it.
    double storedTime = 1e30, compressedTime = 1e30;
    for (int i = 0; i < PairedRuns; ++i) {
        copyTime = std::min(copyTime, best(copyOnce, 1, removeCopy));
        storedTime = std::min(storedTime, best([&] { extract(storedOut, "payload/stored.bin"); }, 1,
                                               [&] { Tarvio::Io::removeFile(storedOut); }));
        inflateTime = std::min(inflateTime, best(inflateOnce, 1));
        compressedTime = std::min(compressedTime, best([&] { extract(compressedOut, "payload/compressed.bin"); }, 1,
                                                       [&] { Tarvio::Io::removeFile(compressedOut); }));
    }
    print("stored file", storedTime);
    print("compressed file", compressedTime);
    print("Io::copyFile of the bytes (best, with the runs above)", copyTime);
    print("raw zlib inflate (best, with the runs above)", inflateTime);
    compressed.bytes = Bytes();
    inflated = Bytes();
    Tarvio::Io::removeFile(copy);
    require(Tarvio::Io::fileSize(storedOut) == int64_t{Size} && Tarvio::Io::fileSize(compressedOut) == int64_t{Size},
            "extracted sizes");

    std::printf("\nRatios\n");
    std::printf("  stored extraction / Io::copyFile:                 %5.1f %%  (aim 90 %%)\n",
                100.0 * copyTime / storedTime);
    std::printf("  stored extraction / keystream lanes, one thread:  %5.1f %%\n",
                100.0 * keystreamTime / storedTime);
    std::printf("  compressed extraction / raw inflate:              %5.1f %%  (aim 90 %%)\n",
                100.0 * inflateTime / compressedTime);
    std::printf("  where the time goes:\n");
    std::printf("    stored, read without writing / Io::copyFile:     %5.1f %%\n",
                100.0 * copyTime / storedReadTime);
    std::printf("    the copy's writes alone / Io::copyFile:          %5.1f %%\n", 100.0 * copyTime / writeTime);
    std::printf("    compressed, read without writing / raw inflate:  %5.1f %%\n",
                100.0 * inflateTime / compressedReadTime);
    Tarvio::Io::removeFile(storedOut);
    Tarvio::Io::removeFile(compressedOut);
    Tarvio::Io::removeFile(raw);
    Tarvio::Io::removeFile(pack);

    std::vector<PackWriter::Record> records;
    for (int i = 0; i < 10000; ++i) {
        const std::string name = "folder" + std::to_string(i % 97) + "/file" + std::to_string(i) + ".dat";
        const Bytes content(100 + i % 300, static_cast<uint8_t>(i));
        records.push_back(i % 2 ? PackWriter::compressed(name, content) : PackWriter::stored(name, content));
    }
    const Bytes many = PackWriter::pack(records);
    const double openTime =
        best([&] { Tarvio::PackFileVfs vfs(many.data(), static_cast<int32_t>(many.size())); }, 5);
    std::printf("\nOpening a pack of 10,000 entries (%.1f MiB): %.1f ms\n", many.size() / MiB, openTime * 1e3);
    openLargePacks(work);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(Tarvio::Io::Path(argc > 1 ? argv[1] : ".").absolute());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "packbench: %s\n", error.what());
        return 1;
    }
}
