#include "tarviolib/io/textstream.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/textreading.h"

#include <cstring>
#include <sstream>
#include <utility>

namespace Tarvio {

namespace {

const char TextStreamModule[] = "tarviolib/io/textstream";

const uint8_t Utf8Mark[] = {0xEF, 0xBB, 0xBF};
const uint8_t Utf16LittleEndianMark[] = {0xFF, 0xFE};
const uint8_t Utf16BigEndianMark[] = {0xFE, 0xFF};

// Reads the mark's length in bytes and keeps them when they are the mark; otherwise gives back
// exactly the bytes that came.
template <std::size_t Size>
bool consumeMark(Io::BinaryInputStream& stream, const uint8_t (&mark)[Size]) {
    uint8_t bytes[Size] = {};
    const int64_t count = stream.read(bytes, Size);
    if (std::memcmp(bytes, mark, Size) == 0) {
        return true;
    }
    stream.putBack(bytes, count);
    return false;
}

// A found mark must agree with an explicit encoding.
void acceptMark(TextEncoding& encoding, TextEncoding marked, const char* mismatchMessage) {
    if (encoding == TextEncoding::Detect) {
        encoding = marked;
    } else if (encoding != marked) {
        throwException(mismatchMessage);
    }
}

void appendUnit16(Array<uint8_t>& bytes, wchar_t unit, bool bigEndian) {
    const uint8_t low = static_cast<uint8_t>(unit & 0xFF);
    const uint8_t high = static_cast<uint8_t>((unit >> 8) & 0xFF);
    bytes.append(bigEndian ? high : low);
    bytes.append(bigEndian ? low : high);
}

String withWindowsLineEnds(const String& text) {
    String converted;
    for (int32_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) {
            converted += L'\r';
        }
        converted += text[i];
    }
    return converted;
}

} // namespace

TextInputStream::TextInputStream(UniquePtr<Io::BinaryInputStream> stream, TextEncoding encoding, uint32_t flags)
    : mStream(std::move(stream)), mEncoding(encoding), mFlags(flags) {
    readByteOrderMark();
}

TextInputStream::TextInputStream(const Io::Path& file, TextEncoding encoding, uint32_t flags)
    : TextInputStream(makeUnique<Io::FileInputStream>(file), encoding, flags) {}

void TextInputStream::readByteOrderMark() {
    if (!mStream) {
        throwException("Using uninitialized TextInputStream");
    }
    if (consumeMark(*mStream, Utf16LittleEndianMark)) {
        acceptMark(mEncoding, TextEncoding::Utf16LittleEndian,
                   "Encoding of binary data (UTF16 Little Endian) does not match specified encoding.");
    } else if (consumeMark(*mStream, Utf16BigEndianMark)) {
        acceptMark(mEncoding, TextEncoding::Utf16BigEndian,
                   "Encoding of binary data (UTF16 Big Endian) does not match specified encoding.");
    }
    if (consumeMark(*mStream, Utf8Mark)) {
        acceptMark(mEncoding, TextEncoding::Utf8, "Encoding of binary data (UTF8) does not match specified encoding.");
    }
    if (mEncoding == TextEncoding::Detect) {
        mEncoding = TextEncoding::Ascii;
    }
}

String TextInputStream::readAll() {
    if (!mStream) {
        throwException("Using uninitialized TextInputStream");
    }
    const uint32_t flags = mFlags & TextInputFlag::ConvertNewlines;
    switch (mEncoding) {
    case TextEncoding::Ascii:
        return String(Io::readAllChars8(*mStream, flags).data());
    case TextEncoding::Utf8:
        return String::fromUtf8(Io::readAllChars8(*mStream, flags).data());
    case TextEncoding::Utf16LittleEndian:
        return String(Io::readAllChars16(*mStream, flags).data());
    case TextEncoding::Utf16BigEndian:
        return String(Io::readAllChars16(*mStream, flags | TextInputFlag::SwapBytes).data());
    default:
        throwStop(TextStreamModule, 342);
    }
}

TextOutputStream::TextOutputStream(const Io::Path& file, TextEncoding encoding, uint32_t flags) {
    open(file, encoding, flags);
}

void TextOutputStream::open(const Io::Path& file, TextEncoding encoding, uint32_t flags) {
    // Closed first, so that the same file can be opened again.
    mStream.reset();
    const FileWriteMode mode =
        (flags & TextOutputFlag::Append) != 0 ? FileWriteMode::Append : FileWriteMode::Overwrite;
    open(makeUnique<Io::FileOutputStream>(file, mode), encoding, flags);
}

void TextOutputStream::open(UniquePtr<Io::BinaryOutputStream> stream, TextEncoding encoding, uint32_t flags) {
    mStream.reset();
    mStream = std::move(stream);
    mEncoding = encoding;
    Io::BinaryOutputStream& out = this->stream();
    if ((flags & TextOutputFlag::WriteBom) == 0) {
        return;
    }
    switch (mEncoding) {
    case TextEncoding::Ascii:
        break;
    case TextEncoding::Utf8:
        out.write(Utf8Mark, sizeof Utf8Mark);
        break;
    case TextEncoding::Utf16LittleEndian:
        out.write(Utf16LittleEndianMark, sizeof Utf16LittleEndianMark);
        break;
    case TextEncoding::Utf16BigEndian:
        out.write(Utf16BigEndianMark, sizeof Utf16BigEndianMark);
        break;
    default:
        throwStop(TextStreamModule, 452);
    }
}

Io::BinaryOutputStream& TextOutputStream::stream() {
    if (!mStream) {
        throwException("Using uninitialized TextOutputStream");
    }
    return *mStream;
}

void TextOutputStream::write(const String& text) {
    Io::BinaryOutputStream& out = stream();
    if (text.isEmpty()) {
        return;
    }
    // Up to the first NUL unit.
    const String converted(withWindowsLineEnds(text).text());
    switch (mEncoding) {
    case TextEncoding::Ascii: {
        const NarrowString bytes = converted.toAscii('_');
        out.write(bytes.text(), bytes.length());
        break;
    }
    case TextEncoding::Utf8: {
        const NarrowString bytes = converted.toUtf8();
        out.write(bytes.text(), bytes.length());
        break;
    }
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian: {
        Array<uint8_t> bytes;
        bytes.reserve(converted.size() * 2);
        for (wchar_t unit : converted) {
            appendUnit16(bytes, unit, mEncoding == TextEncoding::Utf16BigEndian);
        }
        out.write(bytes.data(), bytes.size());
        break;
    }
    default:
        throwStop(TextStreamModule, 513);
    }
}

TextOutputStream& TextOutputStream::operator<<(const char* text) {
    std::wostringstream widened;
    widened << text;
    write(String(widened.str().c_str()));
    return *this;
}

void TextOutputStream::flush() { stream().flush(); }

void TextOutputStream::close() {
    // Flushing first reports a write failure here rather than from the stream's destructor.
    UniquePtr<Io::BinaryOutputStream> closing = std::move(mStream);
    if (!closing) {
        throwException("Using uninitialized TextOutputStream");
    }
    closing->flush();
}

} // namespace Tarvio
