#include "tarviolib/io/packfilevfs.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/md5.h"
#include "tarviolib/io/packkeystream.h"
#include "tests/support/testfiles.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Io::Testing::expectThrowsMessage;
using Io::Testing::narrow;
using Record = PackWriter::Record;
using Bytes = std::vector<uint8_t>;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string readAll(Io::BinaryInputStream& stream) {
    std::string content;
    char block[7];
    int64_t count = 0;
    while ((count = stream.read(block, sizeof block)) > 0) {
        content.append(block, static_cast<std::size_t>(count));
    }
    return content;
}

std::string read(Io::BinaryInputStream& stream, int64_t size) {
    std::string content(static_cast<std::size_t>(size), '\0');
    content.resize(static_cast<std::size_t>(stream.read(content.data(), size)));
    return content;
}

std::vector<std::string> narrowAll(const Array<String>& texts) {
    std::vector<std::string> out;
    for (const String& text : texts) {
        out.push_back(narrow(text));
    }
    return out;
}

// A pack in memory and the file system over it.
struct MemoryPack {
    explicit MemoryPack(Bytes packBytes)
        : bytes(std::move(packBytes)), vfs(bytes.data(), static_cast<int32_t>(bytes.size())) {}
    explicit MemoryPack(const std::vector<Record>& records) : MemoryPack(PackWriter::pack(records)) {}

    std::string content(const char* name) {
        UniquePtr<Io::SeekableBinaryInputStream> stream = vfs.open(name);
        return readAll(*stream);
    }

    Bytes bytes;
    PackFileVfs vfs;
};

template <typename T>
void putLittleEndian(Bytes& pack, std::size_t offset, T value) {
    std::memcpy(pack.data() + offset, &value, sizeof value);
}

// guard, seed and a directory length of 0.
Bytes emptyPack() {
    Bytes pack(16, 0);
    putLittleEndian(pack, 0, PackFileVfs::Guard);
    putLittleEndian(pack, 4, uint32_t{77});
    return pack;
}

void expectConstructionFails(const Bytes& pack, const std::string& message) {
    expectThrowsMessage([&] { PackFileVfs vfs(pack.data(), static_cast<int32_t>(pack.size())); }, message);
}

TEST(PackKeystreamTest, IsItsOwnInverseAndStepsOneStatePerByte) {
    Bytes data = bytes("the quick brown fox");
    const Bytes original = data;
    PackKeystream scrambler(12345);
    scrambler.apply(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_NE(data, original);
    PackKeystream skipper(12345);
    skipper.advance(static_cast<int64_t>(data.size()));
    EXPECT_TRUE(scrambler == skipper);
    PackKeystream(12345).apply(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(data, original);
    EXPECT_FALSE(PackKeystream(12345) == PackKeystream(12346));
}

// Packs already made, the committed fuzz seeds among them, depend on these values.
TEST(PackKeystreamTest, KeepsItsFixedValues) {
    Bytes zeros(8, 0);
    PackKeystream(0).apply(zeros.data(), 8);
    PackKeystream keystream(0x2F6B1D93u);
    keystream.advance(1000);
    EXPECT_EQ(zeros, (Bytes{0x53, 0xB5, 0x7F, 0xE9, 0x5A, 0x3A, 0x46, 0x6C}));
    EXPECT_EQ(keystream.state(), 14836467544398701049u);
}

// A jump is checked against single steps: live where stepping is cheap, and for the large counts
// against states that single steps gave once (4 * 10^9 steps are too slow for a test).
TEST(PackKeystreamTest, AJumpByNEqualsNSingleSteps) {
    const PackKeystream start(0x2F6B1D93u);
    for (const int64_t count : {0, 1, 2, 63, 64, 65, 255, 4096, 65537, (1 << 20) + 3}) {
        SCOPED_TRACE(count);
        PackKeystream stepped = start;
        Bytes ignored(static_cast<std::size_t>(count));
        stepped.apply(ignored.data(), count);
        PackKeystream jumped = start;
        jumped.advance(count);
        EXPECT_EQ(jumped.state(), stepped.state());
    }
    const struct {
        int64_t count;
        uint64_t state;
    } stepped[] = {
        {(int64_t{1} << 31) + 17, 7257329161173519171u},
        {(int64_t{1} << 32) + 5, 3889493701048780038u},
    };
    for (const auto& known : stepped) {
        SCOPED_TRACE(known.count);
        PackKeystream jumped = start;
        jumped.advance(known.count);
        EXPECT_EQ(jumped.state(), known.state);
    }
    // Jumps compose, up to the largest count.
    const int64_t largest = std::numeric_limits<int64_t>::max();
    PackKeystream whole = start;
    whole.advance(largest);
    PackKeystream parts = start;
    parts.advance(largest - 1000003);
    parts.advance(1000003);
    EXPECT_EQ(whole.state(), parts.state());
}

// Both ways of stepping where the processor runs both.
std::vector<PackKeystream::Lanes> runnableLanes() {
    std::vector<PackKeystream::Lanes> lanes{PackKeystream::Lanes::Scalar};
    if (PackKeystream::fastestLanes() == PackKeystream::Lanes::Sse2) {
        lanes.push_back(PackKeystream::Lanes::Sse2);
    }
    return lanes;
}

std::string md5Of(const Bytes& data) {
    Md5 md5;
    md5.update(data.data(), static_cast<uint32_t>(data.size()));
    md5.finalize();
    return md5.hexDigest().text();
}

#if defined(__i386__) || defined(__x86_64__)
TEST(PackKeystreamTest, ChoosesSse2WhereTheProcessorHasIt) {
    // Every processor that runs these tests has SSE2; the product's users may lack it.
    EXPECT_EQ(PackKeystream::fastestLanes(), PackKeystream::Lanes::Sse2);
}
#endif

// The keystream over zeros, as single steps gave it before runs were cut into lanes: from just
// below the length that is cut, to lengths whose parts are not a whole number of groups.
TEST(PackKeystreamTest, EachWayOfSteppingGivesTheKnownKeystream) {
    const struct {
        int64_t size;
        const char* md5;
        uint64_t state;
    } known[] = {
        {16383, "26710d1cc0133c5d6c69125ea24891d8", 14127908687135681639u},
        {16384, "91adebb27b5810e895308fc5cf73273d", 1670385859973518591u},
        {65543, "c6c2acd5de1d3da230bd458c5374e9f8", 14014245437823287566u},
        {1048576, "99f217da5df3c922290e288a6cf1d802", 14668369658787237672u},
        {3146962, "ea8962c4db441d45cbb6053f9c0613e0", 15807196608328363787u},
    };
    for (const PackKeystream::Lanes lanes : runnableLanes()) {
        for (const auto& answer : known) {
            SCOPED_TRACE(testing::Message() << "lanes " << static_cast<int>(lanes) << ", size " << answer.size);
            Bytes data(static_cast<std::size_t>(answer.size), 0);
            PackKeystream keystream(0x2F6B1D93u);
            keystream.apply(data.data(), answer.size, lanes);
            EXPECT_EQ(md5Of(data), answer.md5);
            EXPECT_EQ(keystream.state(), answer.state);
        }
    }
}

// Lanes against one step at a time, on data that is not zero and not aligned, at the lengths
// where a run's cutting changes.
TEST(PackKeystreamTest, EachWayOfSteppingEqualsSingleSteps) {
    const int64_t longest = 16384 + 8 * 64 + 79;
    Bytes original(longest + 3);
    for (std::size_t i = 0; i < original.size(); ++i) {
        original[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    for (const PackKeystream::Lanes lanes : runnableLanes()) {
        for (const int64_t size : {int64_t{16384 - 1}, int64_t{16384}, int64_t{16384 + 1}, int64_t{16384 + 63}, int64_t{16384 + 64}, longest}) {
            for (const std::size_t misalignment : {0, 1, 3}) {
                SCOPED_TRACE(testing::Message() << "lanes " << static_cast<int>(lanes) << ", size " << size
                                                << ", misalignment " << misalignment);
                Bytes laned = original;
                PackKeystream whole(99);
                whole.apply(laned.data() + misalignment, size, lanes);
                Bytes stepped = original;
                PackKeystream single(99);
                for (int64_t i = 0; i < size; ++i) {
                    single.apply(stepped.data() + misalignment + i, 1, lanes);
                }
                EXPECT_EQ(laned, stepped);
                EXPECT_TRUE(whole == single);
            }
        }
    }
}

TEST(PackFileVfsTest, AWrongGuardNamesTheExpectedValueWhateverTheBytes) {
    const Bytes valid = PackWriter::pack({PackWriter::stored("a.txt", bytes("content"))});
    for (const uint32_t guard : {0u, 0x36548520u, 0x21855436u, 0x04034B50u, 0xFFFFFFFFu}) {
        Bytes pack = valid;
        putLittleEndian(pack, 0, guard);
        expectConstructionFails(pack, "checkGuard() failed. Guard: 911508769");
    }
}

TEST(PackFileVfsTest, AHeaderOrTrailerCutShortCannotBeLoaded) {
    const Bytes pack = emptyPack();
    for (const std::size_t size : {1, 3, 4, 7, 8, 15}) {
        expectConstructionFails(Bytes(pack.begin(), pack.begin() + size), "Could not load object from the stream.");
    }
}

TEST(PackFileVfsTest, NoDirectoryMeansNoFiles) {
    MemoryPack pack(emptyPack());
    EXPECT_FALSE(pack.vfs.exists("a.txt"));
    EXPECT_FALSE(pack.vfs.exists(""));
    EXPECT_EQ(pack.vfs.fileSize("a.txt"), -1);
    EXPECT_TRUE(pack.vfs.listFiles("", true, nullptr, 0).isEmpty());
    expectThrowsMessage([&] { pack.vfs.open("dir\\a.txt"); }, "Cannot open/read/write file 'dir/a.txt'");
    expectThrowsMessage([&] { pack.vfs.fileId("a.txt"); }, "PackFileVfs::fileId() - fileName not recognized.");
}

TEST(PackFileVfsTest, RefusesSizesThatDoNotFitInsideThePack) {
    constexpr int64_t Huge = std::numeric_limits<int64_t>::max();
    const std::string directory = "Damaged pack file: the directory does not fit inside the pack.";
    const std::string sizes = "Damaged pack file: the sizes of 'b' do not fit inside the pack.";
    struct Case {
        int64_t storedSize;
        int64_t originalSize;
        uint8_t compressed;
        std::string message;
    } cases[] = {
        {-1, -1, 0, sizes},
        {5, 5, 0, sizes}, // one byte beyond the data area
        {Huge, Huge, 0, sizes},
        {4, -1, 0, sizes},
        {4, 3, 0, sizes}, // a stored file's content is its stored bytes
        {4, 5, 0, sizes},
        {4, 4 * 1032 + 1, 1, sizes}, // more than deflate can make of it
        {4, Huge, 1, sizes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedSize);
        Record a = PackWriter::stored("a", bytes("aaa"));
        Record b{"b", bytes("bbbb"), c.storedSize, c.originalSize, c.compressed};
        expectConstructionFails(PackWriter::pack({a, b}), c.message);
    }
    for (const int64_t length : {int64_t{-1}, int64_t{1}, Huge}) {
        Bytes pack = emptyPack();
        putLittleEndian(pack, 8, length);
        expectConstructionFails(pack, directory);
    }
}

TEST(PackFileVfsTest, ADamagedDirectoryFailsConstruction) {
    Bytes broken = PackWriter::pack({PackWriter::stored("a", bytes("x"))});
    broken[broken.size() - 9] ^= 0xFF; // the directory's zlib checksum
    expectConstructionFails(broken, "Error while uncompressing data");

    std::ostringstream out;
    PackWriter writer(out, 5);
    Bytes directory = PackWriter::directory({PackWriter::stored("a", bytes("x"))});
    directory.pop_back(); // the compressed flag
    writer.finish(directory);
    const std::string cut = out.str();
    expectConstructionFails(Bytes(cut.begin(), cut.end()), "Could not load object from the stream.");
}

TEST(PackFileVfsTest, ARepeatedNameKeepsItsLastRecordWhileBothOccupyTheData) {
    MemoryPack pack({PackWriter::stored("a.txt", bytes("first")), PackWriter::compressed("b.txt", bytes("bee")),
                     PackWriter::stored("a.txt", bytes("second!")), PackWriter::stored("c.txt", bytes("sea"))});
    EXPECT_EQ(pack.content("a.txt"), "second!");
    EXPECT_EQ(pack.vfs.fileSize("a.txt"), 7);
    EXPECT_EQ(pack.vfs.fileId("a.txt"), 2);
    EXPECT_EQ(pack.content("b.txt"), "bee");
    EXPECT_EQ(pack.content("c.txt"), "sea");
    EXPECT_EQ(pack.vfs.fileId("c.txt"), 3);
    EXPECT_EQ(narrowAll(pack.vfs.listFiles("", true, nullptr, 0)),
              (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST(PackFileVfsTest, NamesMatchExactlyWithBackslashesReadAsSlashes) {
    MemoryPack pack({PackWriter::stored("dir\\sub\\file.txt", bytes("x"))});
    EXPECT_TRUE(pack.vfs.exists("dir/sub/file.txt"));
    EXPECT_EQ(pack.content("dir/sub/file.txt"), "x");
    for (const char* other : {"Dir/sub/file.txt", "dir/sub/FILE.txt", "dir/sub/./file.txt", "/dir/sub/file.txt"}) {
        EXPECT_FALSE(pack.vfs.exists(other)) << other;
        EXPECT_EQ(pack.vfs.fileSize(other), -1);
    }
    EXPECT_EQ(narrowAll(pack.vfs.listFiles("dir/sub", false, nullptr, 0)),
              (std::vector<std::string>{"dir/sub/file.txt"}));
}

// Each name would be written somewhere else than below the folder that the pack is installed into,
// or where Windows reads it differently.
const char* const unsafeNames[] = {
    "", "/", "/abs.txt", "materials/", "materials//a.txt", "./a.txt", "materials/./a.txt",
    "materials/../../../../../../../slip-dotdot.txt", "..", "a/..", "materials/..\\..\\slip-backslash.txt",
    "dir\\..\\..\\x.txt", "\\\\?\\C:\\x.txt", "\\\\server\\share\\x.txt", "//server/share/x.txt",
    "materials/C:/slip-drive.txt", "C:x.txt", "c:/x.txt", "materials/a.txt:stream", "...", "a/.../b", "a/.. /b",
    "a/. /b", "name.", "name ", "folder./a.txt", "a\tb", "a\nb", "a\x1f", "a\x7f", "a<b", "a>b", "a\"b",
    "a|b", "a?b", "a*b", "CON", "con", "materials/NUL", "nul.txt", "Com1", "COM9.log", "lpt1", "LPT3.x.y",
    "AUX", "prn.txt", "CON .txt", "CONIN$", "conout$", "COM\xc2\xb9", "lpt\xc2\xb2.txt", "COM0",
};
// Close to those, and plain names all the same; the last ones are the demo payload's and its
// material library's own.
const char* const safeNames[] = {
    "a..b", "a.b.c", ".hidden", "..a", "a/..b/c", " leading", "a b/c d.txt", "materials/M\xc3\xa9tal.mat",
    "\xe6\x9d\x90\xe6\x96\x99/\xd0\xbb.txt", "CONFIG", "console.txt", "NULL", "COM10", "LPT", "COMa",
    "auxiliary/x", "prn1", "x/CONx", "a%2e%2e/b", "~1", "3rd-party-licenses.txt", "license.txt",
    "unpack-readme.txt", "dependencies/vc_redist.2017.x64.exe", "dependencies/wxmsw310u_vc_tarvio_v141.dll",
    "maxHairFur/2019/Tarvio_maxHairFur.dll", "TarvioImageEditor.Gui_x64_Release.exe", "LUT/Film/Warm.cube",
    "IES/Downlights/Narrow.ies", "scripts/TarvioRenderer_InitScripts.ms", "toolbar/TarvioOfficialToolbar_16a.bmp",
    "materials/README.txt", "materials/Metals/Steel.mat", "materials/Woods/Oak.mat",
};

TEST(PackFileVfsTest, ANameThatLeadsOutsideItsFolderMakesThePackDamaged) {
    for (const char* name : unsafeNames) {
        const Bytes pack = PackWriter::pack({PackWriter::stored("materials/inside.txt", bytes("in")),
                                             PackWriter::stored(name, bytes("out"))});
        expectConstructionFails(pack, std::string("Damaged pack file: the name '") + name +
                                          "' is not a relative path inside a folder.");
    }
}

TEST(PackFileVfsTest, NamesCloseToUnsafeOnesArePlainNames) {
    std::vector<Record> records;
    for (const char* name : safeNames) {
        records.push_back(PackWriter::stored(name, bytes(name)));
    }
    MemoryPack pack(records);
    std::vector<std::string> expected(std::begin(safeNames), std::end(safeNames));
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> listed;
    for (const String& name : pack.vfs.listFiles("", true, nullptr, 0)) {
        listed.push_back(narrow(name));
        EXPECT_EQ(readAll(*pack.vfs.open(name)), listed.back());
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
}

TEST(PackFileVfsTest, ListsByFolderAndLowerCasedExtensionInNameOrder) {
    std::vector<Record> records;
    for (const char* name : {"top", "x.png", "dir/sub/b", "x.PNG", "dir/a", "dirx/c", "dir/y.png", "dir/z.txt"}) {
        records.push_back(PackWriter::stored(name, bytes(name)));
    }
    MemoryPack pack(records);
    const String png[] = {"PNG"};
    const String pngAndTxt[] = {"png", "TXT"};
    struct Case {
        const char* directory;
        bool recursive;
        const String* extensions;
        int32_t count;
        std::vector<std::string> expected;
    } cases[] = {
        {"dir", false, nullptr, 0, {"dir/a", "dir/y.png", "dir/z.txt"}},
        {"dir", true, nullptr, 0, {"dir/a", "dir/sub/b", "dir/y.png", "dir/z.txt"}},
        {"", true, nullptr, 0, {"dir/a", "dir/sub/b", "dir/y.png", "dir/z.txt", "dirx/c", "top", "x.PNG", "x.png"}},
        {"", false, nullptr, 0, {"top", "x.PNG", "x.png"}},
        {"dir/", true, nullptr, 0, {}},
        {"dir/", false, nullptr, 0, {}},
        {"Dir", true, nullptr, 0, {}},
        {"", true, png, 1, {"dir/y.png", "x.png"}},
        {"", false, png, 1, {"x.png"}},
        {"dir", true, pngAndTxt, 2, {"dir/y.png", "dir/z.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.directory) + (c.recursive ? " recursive" : ""));
        EXPECT_EQ(narrowAll(pack.vfs.listFiles(c.directory, c.recursive, c.extensions, c.count)), c.expected);
    }
}

TEST(PackFileVfsTest, AStoredFileSeeksWithinItsWindow) {
    MemoryPack pack({PackWriter::stored("before", bytes("xyz")), PackWriter::stored("ten", bytes("0123456789")),
                     PackWriter::stored("after", bytes("abc"))});
    UniquePtr<Io::SeekableBinaryInputStream> stream = pack.vfs.open("ten");
    EXPECT_EQ(read(*stream, 4), "0123");
    stream->seekg(0, SeekOrigin::Begin);
    EXPECT_EQ(read(*stream, 4), "0123");
    stream->seekg(2, SeekOrigin::Current);
    EXPECT_EQ(stream->tellg(), 6);
    EXPECT_EQ(read(*stream, 2), "67");
    stream->seekg(-3, SeekOrigin::End);
    EXPECT_EQ(read(*stream, 10), "789");
    EXPECT_TRUE(stream->isEof());
    stream->seekg(10, SeekOrigin::Begin);
    EXPECT_FALSE(stream->isEof());
    EXPECT_EQ(read(*stream, 1), "");
    EXPECT_TRUE(stream->isEof());
    for (const int64_t target : {int64_t{11}, int64_t{-1}}) {
        expectThrowsMessage([&] { stream->seekg(target, SeekOrigin::Begin); }, "Error seeking packed file stream");
    }
    EXPECT_EQ(stream->tellg(), 10);
    expectThrowsMessage([&] { stream->seekg(0, static_cast<SeekOrigin>(3)); }, "STOP@tarviolib/io/packfilevfs(56)");
    stream->seekg(4, SeekOrigin::Begin);
    char two[2];
    stream->read(two, 2);
    stream->putBack(two, 2);
    EXPECT_EQ(read(*stream, 6), "456789");
}

TEST(PackFileVfsTest, SeeksLandOnTheirBytesFarIntoAFileBehindOthers) {
    std::string content;
    for (int i = 0; content.size() < 100000; ++i) {
        content += std::to_string(i * 7919 % 100003) + ",";
    }
    MemoryPack pack({PackWriter::stored("before", Bytes(12345, 'b')), PackWriter::stored("far", bytes(content))});
    UniquePtr<Io::SeekableBinaryInputStream> stream = pack.vfs.open("far");
    for (const int64_t target : {int64_t{99999}, int64_t{65536}, int64_t{1}, int64_t{40961}, int64_t{0}}) {
        stream->seekg(target, SeekOrigin::Begin);
        EXPECT_EQ(read(*stream, 3), content.substr(static_cast<std::size_t>(target), 3)) << target;
    }
}

TEST(PackFileVfsTest, ACompressedFileIsMeasuredByItsContent) {
    const std::string text(5000, 'q');
    MemoryPack pack({PackWriter::compressed("z", bytes(text)), PackWriter::compressed("empty", {})});
    EXPECT_EQ(pack.vfs.fileSize("z"), 5000);
    UniquePtr<Io::SeekableBinaryInputStream> stream = pack.vfs.open("z");
    EXPECT_EQ(readAll(*stream), text);
    EXPECT_EQ(stream->tellg(), 5000);

    UniquePtr<Io::SeekableBinaryInputStream> empty = pack.vfs.open("empty");
    EXPECT_EQ(pack.vfs.fileSize("empty"), 0);
    EXPECT_EQ(read(*empty, 4), "");
    EXPECT_TRUE(empty->isEof());
    EXPECT_EQ(empty->tellg(), 0);
}

TEST(PackFileVfsTest, ACompressedFileMustInflateToExactlyItsOriginalSize) {
    for (const int64_t lie : {-1, 1}) {
        Record record = PackWriter::compressed("z", bytes("zzzzzzzzzz"));
        record.originalSize += lie;
        MemoryPack pack({record});
        expectThrowsMessage([&] { pack.vfs.open("z"); },
                            "Damaged pack file: 'z' does not inflate to its original size.");
    }
    Record empty = PackWriter::compressed("e", bytes("not empty"));
    empty.originalSize = 0;
    MemoryPack pack({empty});
    expectThrowsMessage([&] { pack.vfs.open("e"); }, "Damaged pack file: 'e' does not inflate to its original size.");
}

std::string readAllBlocks(Io::ReadAheadInputStream& stream) {
    std::string content;
    const uint8_t* block = nullptr;
    while (const int64_t count = stream.readBlock(block)) {
        content.append(reinterpret_cast<const char*>(block), static_cast<std::size_t>(count));
    }
    return content;
}

// Several read-ahead blocks, not a whole number of them.
std::string largeContent() {
    std::string text;
    for (uint64_t i = 0; text.size() < 3 * Io::ReadAheadInputStream::BlockSize + 1000; ++i) {
        text += "line " + std::to_string(i * 7919 % 100003) + "\n";
    }
    return text;
}

TEST(PackFileVfsTest, SequentialReadingGivesTheContentOfOpen) {
    const std::string large = largeContent();
    MemoryPack pack({PackWriter::stored("s", bytes(large)), PackWriter::compressed("c", bytes(large)),
                     PackWriter::stored("small", bytes("abc")), PackWriter::compressed("empty", {})});
    for (const char* name : {"s", "c", "small", "empty"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readAllBlocks(*pack.vfs.openSequential(name)), pack.content(name));
    }
    EXPECT_TRUE(pack.vfs.isCompressed("c"));
    EXPECT_FALSE(pack.vfs.isCompressed("s"));
    EXPECT_FALSE(pack.vfs.isCompressed("missing"));
    expectThrowsMessage([&] { pack.vfs.openSequential("missing"); }, "Cannot open/read/write file 'missing'");
}

TEST(PackFileVfsTest, SequentialReadingMeetsTheDamageOfACompressedFile) {
    const std::string large = largeContent();
    for (const int64_t lie : {-1, 1}) {
        Record record = PackWriter::compressed("z", bytes(large));
        record.originalSize += lie;
        MemoryPack pack({record});
        UniquePtr<Io::ReadAheadInputStream> stream = pack.vfs.openSequential("z");
        expectThrowsMessage([&] { readAllBlocks(*stream); },
                            "Damaged pack file: 'z' does not inflate to its original size.");
    }
    Record corrupt = PackWriter::compressed("z", bytes(large));
    corrupt.bytes[corrupt.bytes.size() / 2] ^= 0x55;
    MemoryPack pack({corrupt});
    UniquePtr<Io::ReadAheadInputStream> stream = pack.vfs.openSequential("z");
    expectThrowsMessage([&] { readAllBlocks(*stream); }, "Error while uncompressing data");
}

class PackFileOnDiskTest : public testing::Test {
protected:
    Io::Testing::TemporaryDirectory mDirectory;
    Io::Path mPackPath = mDirectory / "test.pack";

    void writePack(const Bytes& pack) {
        Io::Testing::writeBytes(mPackPath, std::string(pack.begin(), pack.end()));
    }
};

TEST_F(PackFileOnDiskTest, ReadsLikeTheSamePackInMemory) {
    writePack(PackWriter::pack({PackWriter::stored("a/b", bytes("stored")), PackWriter::compressed("c", bytes("ccc"))}));
    PackFileVfs vfs(mPackPath);
    EXPECT_EQ(readAll(*vfs.open("a/b")), "stored");
    EXPECT_EQ(readAll(*vfs.open("c")), "ccc");
}

TEST_F(PackFileOnDiskTest, AMissingPackCannotBeOpened) {
    expectThrowsMessage([&] { PackFileVfs vfs(mPackPath); }, "Cannot open/read/write file '" + narrow(mPackPath.toString()) + "'");
}

TEST_F(PackFileOnDiskTest, APackCutShortAfterOpeningDeliversOnlyTheBytesThere) {
    const std::string content(1000, 'k');
    const Bytes pack = PackWriter::pack({PackWriter::stored("k", bytes(content))});
    writePack(pack);
    PackFileVfs vfs(mPackPath);
    writePack(Bytes(pack.begin(), pack.begin() + 8 + 600));
    UniquePtr<Io::SeekableBinaryInputStream> stream = vfs.open("k");
    std::string delivered(1000, '\0');
    EXPECT_EQ(stream->read(delivered.data(), 1000), 600);
    EXPECT_EQ(delivered.substr(0, 600), content.substr(0, 600));
    EXPECT_FALSE(stream->isEof());
    expectThrowsMessage([&] { stream->read(delivered.data(), 1000); }, "Error reading packed file stream");
}

} // namespace
} // namespace Tarvio
