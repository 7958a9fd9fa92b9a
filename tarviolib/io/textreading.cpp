#include "tarviolib/io/textreading.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/io/textstream.h"

#include <cstdint>

namespace Tarvio::Io {

namespace {

constexpr uint8_t CarriageReturn = 13;
constexpr uint8_t LineFeed = 10;

template <int Width>
uint16_t decode(const uint8_t* bytes, uint32_t flags) {
    if constexpr (Width == 1) {
        return bytes[0];
    } else if ((flags & TextInputFlag::SwapBytes) != 0) {
        return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
    } else {
        return static_cast<uint16_t>(bytes[1] << 8 | bytes[0]);
    }
}

// One character of Width bytes; empty at the end.
template <int Width>
Optional<uint16_t> readCharacter(BinaryInputStream& stream, uint32_t flags) {
    if (stream.isEof()) {
        return Optional<uint16_t>();
    }
    uint8_t bytes[Width] = {};
    const int64_t count = stream.read(bytes, Width);
    if (count == 0) {
        return Optional<uint16_t>();
    }
    if (count < Width) {
        throwException("Io::readChar() - Not enough bytes left in the binary input stream to read a character of "
                       "the width required!");
    }
    const uint16_t unit = decode<Width>(bytes, flags);
    if (unit != CarriageReturn || (flags & TextInputFlag::ConvertNewlines) == 0) {
        return unit;
    }
    // CR LF and a lone CR both read as LF; what follows a lone CR is read next.
    uint8_t next[Width] = {};
    const int64_t nextCount = stream.read(next, Width);
    if (nextCount != Width || decode<Width>(next, flags) != LineFeed) {
        stream.putBack(next, nextCount);
    }
    return uint16_t{LineFeed};
}

template <typename Char, int Width>
Array<Char> readAllCharacters(BinaryInputStream& stream, uint32_t flags) {
    Array<Char> characters;
    while (const Optional<uint16_t> unit = readCharacter<Width>(stream, flags)) {
        characters.append(static_cast<Char>(*unit));
    }
    characters.append(Char(0));
    return characters;
}

} // namespace

template <>
Optional<char> readChar<char>(BinaryInputStream& stream, uint32_t flags) {
    const Optional<uint16_t> unit = readCharacter<1>(stream, flags);
    return unit ? Optional<char>(static_cast<char>(*unit)) : Optional<char>();
}

template <>
Optional<wchar_t> readChar<wchar_t>(BinaryInputStream& stream, uint32_t flags) {
    const Optional<uint16_t> unit = readCharacter<2>(stream, flags);
    return unit ? Optional<wchar_t>(static_cast<wchar_t>(*unit)) : Optional<wchar_t>();
}

Array<char> readAllChars8(BinaryInputStream& stream, uint32_t flags) {
    return readAllCharacters<char, 1>(stream, flags);
}

Array<wchar_t> readAllChars16(BinaryInputStream& stream, uint32_t flags) {
    return readAllCharacters<wchar_t, 2>(stream, flags);
}

Optional<Array<char>> readUntil(BinaryInputStream& stream, char delimiter, uint32_t flags) {
    if (stream.isEof()) {
        return Optional<Array<char>>();
    }
    Array<char> characters;
    while (const Optional<char> character = readChar<char>(stream, flags)) {
        if (*character == delimiter) {
            return characters;
        }
        characters.append(*character);
    }
    if (characters.isEmpty()) {
        return Optional<Array<char>>();
    }
    return characters;
}

Optional<String> readLine(BinaryInputStream& stream, char delimiter, uint32_t flags) {
    Optional<Array<char>> characters = readUntil(stream, delimiter, flags);
    if (!characters) {
        return Optional<String>();
    }
    characters->append('\0');
    return String::fromUtf8(characters->data());
}

} // namespace Tarvio::Io
