#include "tarviolib/io/textstream.h"

#include "tarviolib/io/memoryinputstream.h"
#include "tarviolib/io/textreading.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

using Io::Testing::expectThrowsMessage;
using Io::Testing::StringInputStream;
using Io::Testing::StringOutputStream;

const char Utf8Mismatch[] = "Encoding of binary data (UTF8) does not match specified encoding.";
const char LittleEndianMismatch[] = "Encoding of binary data (UTF16 Little Endian) does not match specified encoding.";
const char BigEndianMismatch[] = "Encoding of binary data (UTF16 Big Endian) does not match specified encoding.";
const char OddByteMessage[] =
    "Io::readChar() - Not enough bytes left in the binary input stream to read a character of the width required!";

UniquePtr<Io::BinaryInputStream> bytesStream(const std::string& bytes) {
    return makeUnique<StringInputStream>(bytes);
}

TEST(TextInputStreamTest, ReadsEveryEncodingAndDetectsMarks) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding requested;
        TextEncoding found;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"utf-8 mark", "\xEF\xBB\xBF" "a", TextEncoding::Detect, TextEncoding::Utf8, L"a"},
        {"utf-8 mark, explicit", "\xEF\xBB\xBF" "\xC3\xA9", TextEncoding::Utf8, TextEncoding::Utf8, L"\u00E9"},
        {"utf-8 without mark", "\xC3\xA9t\xC3\xA9", TextEncoding::Utf8, TextEncoding::Utf8, L"\u00E9t\u00E9"},
        {"utf-16le mark", std::string("\xFF\xFE" "a\0", 4), TextEncoding::Detect, TextEncoding::Utf16LittleEndian,
         L"a"},
        {"utf-16be mark", std::string("\xFE\xFF\0a\x20\xAC", 6), TextEncoding::Detect, TextEncoding::Utf16BigEndian,
         L"a\u20AC"},
        {"utf-16le without mark", std::string("b\0\xAC\x20", 4), TextEncoding::Utf16LittleEndian,
         TextEncoding::Utf16LittleEndian, L"b\u20AC"},
        {"no mark", "abc", TextEncoding::Detect, TextEncoding::Ascii, L"abc"},
        {"one byte", "x", TextEncoding::Detect, TextEncoding::Ascii, L"x"},
        {"two bytes", "xy", TextEncoding::Detect, TextEncoding::Ascii, L"xy"},
        {"empty", "", TextEncoding::Detect, TextEncoding::Ascii, L""},
        {"empty, explicit", "", TextEncoding::Utf16BigEndian, TextEncoding::Utf16BigEndian, L""},
        {"ends at NUL", std::string("ab\0cd", 5), TextEncoding::Ascii, TextEncoding::Ascii, L"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextInputStream stream(bytesStream(c.bytes), c.requested, 0);
        EXPECT_EQ(stream.encoding(), c.found);
        EXPECT_EQ(stream.readAll(), String(c.text));
    }
}

TEST(TextInputStreamTest, MarksMustAgreeWithAnExplicitEncoding) {
    struct Case {
        std::string bytes;
        TextEncoding requested;
        const char* message;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "a", TextEncoding::Ascii, Utf8Mismatch},
        {"\xEF\xBB\xBF" "a", TextEncoding::Utf16LittleEndian, Utf8Mismatch},
        {"\xFF\xFE" "a", TextEncoding::Utf8, LittleEndianMismatch},
        {"\xFF\xFE" "a", TextEncoding::Utf16BigEndian, LittleEndianMismatch},
        {"\xFE\xFF" "a", TextEncoding::Ascii, BigEndianMismatch},
        // A UTF-16 mark followed by a UTF-8 one.
        {"\xFF\xFE\xEF\xBB\xBF", TextEncoding::Detect, Utf8Mismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        expectThrowsMessage([&] { TextInputStream stream(bytesStream(c.bytes), c.requested, 0); }, c.message);
    }
}

TEST(TextInputStreamTest, ConvertNewlines) {
    const std::string bytes = "a\r\nb\rc\n";
    EXPECT_EQ(TextInputStream(bytesStream(bytes), TextEncoding::Utf8, TextInputFlag::ConvertNewlines).readAll(),
              String(L"a\nb\nc\n"));
    EXPECT_EQ(TextInputStream(bytesStream(bytes), TextEncoding::Utf8, 0).readAll(), String(L"a\r\nb\rc\n"));
    const std::string wide("\xFE\xFF\0a\0\r\0\n\0\r\0b\0\r", 14);
    EXPECT_EQ(TextInputStream(bytesStream(wide), TextEncoding::Detect, TextInputFlag::ConvertNewlines).readAll(),
              String(L"a\n\nb\n"));
}

TEST(TextInputStreamTest, WorksOverSeekableStreams) {
    const char bytes[] = "\xFF\xFE" "a\0\r\0\n\0";
    TextInputStream stream(makeUnique<Io::MemoryInputStream>(bytes, 8), TextEncoding::Detect,
                           TextInputFlag::ConvertNewlines);
    EXPECT_EQ(stream.encoding(), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(stream.readAll(), String(L"a\n"));
    const char one[] = "z";
    EXPECT_EQ(TextInputStream(makeUnique<Io::MemoryInputStream>(one, 1), TextEncoding::Detect, 0).readAll(),
              String(L"z"));
}

TEST(TextInputStreamTest, OddUtf16DataThrowsAtTheLastCharacter) {
    TextInputStream stream(bytesStream(std::string("a\0b", 3)), TextEncoding::Utf16LittleEndian, 0);
    expectThrowsMessage([&] { stream.readAll(); }, OddByteMessage);
}

TEST(TextInputStreamTest, WithoutAStreamThrows) {
    expectThrowsMessage([] { TextInputStream stream(UniquePtr<Io::BinaryInputStream>(), TextEncoding::Detect, 0); },
                        "Using uninitialized TextInputStream");
}

TEST(TextReadingTest, ReadUntilSplitsAtTheDelimiter) {
    StringInputStream stream(std::string("x\0y", 3));
    Optional<Array<char>> part = Io::readUntil(stream, '\0', 0);
    ASSERT_TRUE(part);
    EXPECT_EQ(std::string(part->data(), part->size()), "x");
    part = Io::readUntil(stream, '\0', 0);
    ASSERT_TRUE(part);
    EXPECT_EQ(std::string(part->data(), part->size()), "y");
    EXPECT_FALSE(Io::readUntil(stream, '\0', 0));
}

TEST(TextReadingTest, ReadLineKeepsEmptyLinesAndDecodesUtf8) {
    StringInputStream stream("caf\xC3\xA9\r\n\nlast");
    const wchar_t* expected[] = {L"caf\u00E9\r", L"", L"last"};
    for (const wchar_t* line : expected) {
        const Optional<String> read = Io::readLine(stream, '\n', 0);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, String(line));
    }
    EXPECT_FALSE(Io::readLine(stream, '\n', 0));
}

TEST(TextReadingTest, ReadCharacters) {
    StringInputStream narrow("a\rb");
    EXPECT_EQ(Io::readChar<char>(narrow, TextInputFlag::ConvertNewlines).valueOr('?'), 'a');
    EXPECT_EQ(Io::readChar<char>(narrow, TextInputFlag::ConvertNewlines).valueOr('?'), '\n');
    EXPECT_EQ(Io::readChar<char>(narrow, TextInputFlag::ConvertNewlines).valueOr('?'), 'b');
    EXPECT_FALSE(Io::readChar<char>(narrow, 0));

    StringInputStream wide(std::string("\x20\xAC\xAC\x20", 4));
    EXPECT_EQ(Io::readChar<wchar_t>(wide, TextInputFlag::SwapBytes).valueOr(L'?'), L'\u20AC');
    EXPECT_EQ(Io::readChar<wchar_t>(wide, 0).valueOr(L'?'), L'\u20AC');
    EXPECT_FALSE(Io::readChar<wchar_t>(wide, 0));

    StringInputStream trailingCr("\r");
    const Array<char> all = Io::readAllChars8(trailingCr, TextInputFlag::ConvertNewlines);
    EXPECT_EQ(std::string(all.data(), all.size()), std::string("\n\0", 2));
}

struct WrittenText {
    std::string bytes;
    TextOutputStream stream;

    WrittenText(TextEncoding encoding, uint32_t flags) {
        stream.open(makeUnique<StringOutputStream>(bytes), encoding, flags);
    }
};

TEST(TextOutputStreamTest, WritesWindowsLineEndsInEveryEncoding) {
    struct Case {
        TextEncoding encoding;
        const wchar_t* text;
        std::string bytes;
    };
    const Case cases[] = {
        {TextEncoding::Ascii, L"a\nb\r\nc", "a\r\nb\r\nc"},
        {TextEncoding::Ascii, L"\u00E9", "_"},
        {TextEncoding::Ascii, L"\n\n", "\r\n\r\n"},
        {TextEncoding::Utf8, L"\u00E9\n", "\xC3\xA9\r\n"},
        {TextEncoding::Utf16LittleEndian, L"a\u20AC\n", std::string("a\0\xAC\x20\r\0\n\0", 8)},
        {TextEncoding::Utf16BigEndian, L"a\u20AC", std::string("\0a\x20\xAC", 4)},
        {TextEncoding::Utf8, L"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Io::Testing::narrow(c.text));
        WrittenText written(c.encoding, 0);
        written.stream.write(c.text);
        EXPECT_EQ(written.bytes, c.bytes);
    }
}

TEST(TextOutputStreamTest, TextEndsAtItsFirstNul) {
    WrittenText written(TextEncoding::Utf16LittleEndian, 0);
    written.stream.write(String(L"ab\0cd", 5));
    EXPECT_EQ(written.bytes, std::string("a\0b\0", 4));
}

TEST(TextOutputStreamTest, ByteOrderMarks) {
    struct Case {
        TextEncoding encoding;
        std::string mark;
    };
    const Case cases[] = {
        {TextEncoding::Ascii, ""},
        {TextEncoding::Utf8, "\xEF\xBB\xBF"},
        {TextEncoding::Utf16LittleEndian, "\xFF\xFE"},
        {TextEncoding::Utf16BigEndian, "\xFE\xFF"},
    };
    for (const Case& c : cases) {
        WrittenText written(c.encoding, TextOutputFlag::WriteBom);
        EXPECT_EQ(written.bytes, c.mark);
    }
    WrittenText unmarked(TextEncoding::Utf8, 0);
    EXPECT_EQ(unmarked.bytes, "");
}

TEST(TextOutputStreamTest, ShiftWritesAsciiText) {
    WrittenText written(TextEncoding::Utf8, 0);
    written.stream << "one\n" << "two";
    EXPECT_EQ(written.bytes, "one\r\ntwo");
}

TEST(TextOutputStreamTest, UnsetEncodingsAreStops) {
    expectThrowsMessage([] { WrittenText written(TextEncoding::Detect, TextOutputFlag::WriteBom); },
                        "STOP@tarviolib/io/textstream(452)");
    WrittenText written(TextEncoding::Detect, 0);
    written.stream.write(L"");
    expectThrowsMessage([&] { written.stream.write(L"x"); }, "STOP@tarviolib/io/textstream(513)");
}

TEST(TextOutputStreamTest, WithoutAStreamEveryCallThrows) {
    const char* message = "Using uninitialized TextOutputStream";
    TextOutputStream stream;
    expectThrowsMessage([&] { stream.write(L"x"); }, message);
    expectThrowsMessage([&] { stream.flush(); }, message);
    expectThrowsMessage([&] { stream.close(); }, message);
    expectThrowsMessage([&] { stream.open(UniquePtr<Io::BinaryOutputStream>(), TextEncoding::Utf8, 0); }, message);
}

TEST(TextOutputStreamTest, CloseFlushesAndReleasesTheStream) {
    std::string bytes;
    auto sink = makeUnique<StringOutputStream>(bytes);
    TextOutputStream stream;
    stream.open(std::move(sink), TextEncoding::Utf8, 0);
    stream.write(L"a");
    stream.close();
    EXPECT_EQ(bytes, "a");
    expectThrowsMessage([&] { stream.write(L"b"); }, "Using uninitialized TextOutputStream");
}

class TextFileTest : public testing::Test {
protected:
    Io::Testing::TemporaryDirectory mDirectory;
};

TEST_F(TextFileTest, AppendWithMarkWritesTheMarkAfterTheContent) {
    const Io::Path file = mDirectory / "log.txt";
    Io::Testing::writeBytes(file, "old\r\n");
    {
        TextOutputStream stream(file, TextEncoding::Utf8, TextOutputFlag::Append | TextOutputFlag::WriteBom);
        stream.write(L"new\n");
        stream.close();
    }
    EXPECT_EQ(Io::Testing::readBytes(file), "old\r\n\xEF\xBB\xBFnew\r\n");
}

TEST_F(TextFileTest, ShortFilesGiveBackTheBytesTheMarkTestRead) {
    for (const char* content : {"", "x", "xy", "\xEF\xBB"}) {
        SCOPED_TRACE(content);
        const Io::Path file = mDirectory / "short.txt";
        Io::Testing::writeBytes(file, content);
        TextInputStream stream(file, TextEncoding::Detect, 0);
        EXPECT_EQ(stream.encoding(), TextEncoding::Ascii);
        EXPECT_EQ(stream.readAll(), String(content));
    }
}

TEST_F(TextFileTest, OverwriteAndReopenTheSameFile) {
    const Io::Path file = mDirectory / "data.xml";
    TextOutputStream stream(file, TextEncoding::Utf8, TextOutputFlag::WriteBom);
    stream.write(L"first");
    stream.open(file, TextEncoding::Utf8, TextOutputFlag::Overwrite | TextOutputFlag::WriteBom);
    stream.write(L"\u00E9");
    stream.close();
    TextInputStream reread(file, TextEncoding::Detect, 0);
    EXPECT_EQ(reread.encoding(), TextEncoding::Utf8);
    EXPECT_EQ(reread.readAll(), String(L"\u00E9"));
}

} // namespace
} // namespace Tarvio
