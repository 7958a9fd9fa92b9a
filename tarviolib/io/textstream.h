#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio {

// Detect is for input only (the byte-order mark decides); on output it means no encoding is set.
enum class TextEncoding : int32_t { Ascii = 0, Utf8 = 1, Utf16LittleEndian = 2, Utf16BigEndian = 3, Detect = 4 };

namespace TextInputFlag {
// CR LF and a lone CR are read as LF.
constexpr uint32_t ConvertNewlines = 1;
// Internal: the 16-bit reader swaps the bytes of each unit.
constexpr uint32_t SwapBytes = 2;
} // namespace TextInputFlag

namespace TextOutputFlag {
constexpr uint32_t Append = 1;
// What happens whenever Append is clear.
constexpr uint32_t Overwrite = 2;
// A byte-order mark is written at the open, also at the end of a file opened for appending.
constexpr uint32_t WriteBom = 4;
} // namespace TextOutputFlag

// Reads a whole text. The constructor consumes a byte-order mark, which must agree with an
// explicit encoding; without one, Detect becomes Ascii.
class TextInputStream : public Noncopyable {
public:
    TextInputStream(UniquePtr<Io::BinaryInputStream> stream, TextEncoding encoding, uint32_t flags);
    TextInputStream(const Io::Path& file, TextEncoding encoding, uint32_t flags);

    TextEncoding encoding() const { return mEncoding; }
    // The rest of the stream decoded, up to its first NUL character.
    String readAll();

private:
    void readByteOrderMark();

    UniquePtr<Io::BinaryInputStream> mStream;
    TextEncoding mEncoding;
    uint32_t mFlags;
};

// Writes text with Windows line ends: every LF not preceded by CR becomes CR LF.
class TextOutputStream : public Noncopyable {
public:
    TextOutputStream() = default;
    TextOutputStream(const Io::Path& file, TextEncoding encoding, uint32_t flags);

    // Replaces the current stream; a file is appended to with TextOutputFlag::Append, else replaced.
    void open(const Io::Path& file, TextEncoding encoding, uint32_t flags);
    void open(UniquePtr<Io::BinaryOutputStream> stream, TextEncoding encoding, uint32_t flags);

    // Ascii writes each unit from 128 up as "_". The text ends at its first NUL unit.
    void write(const String& text);
    // ASCII text.
    TextOutputStream& operator<<(const char* text);
    void flush();
    // Closes the file; the stream is unusable until it is opened again.
    void close();

private:
    Io::BinaryOutputStream& stream();

    UniquePtr<Io::BinaryOutputStream> mStream;
    TextEncoding mEncoding = TextEncoding::Detect;
};

} // namespace Tarvio
