#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/stream.h"

#include <cstdint>

namespace Tarvio::Io {

// One character: char reads one byte, wchar_t one 16-bit unit in little-endian order (swapped with
// TextInputFlag::SwapBytes). Empty at the end of the stream. With TextInputFlag::ConvertNewlines a
// CR, and a CR LF pair, are answered as LF.
template <typename Char>
Optional<Char> readChar(BinaryInputStream& stream, uint32_t flags);
template <>
Optional<char> readChar<char>(BinaryInputStream& stream, uint32_t flags);
template <>
Optional<wchar_t> readChar<wchar_t>(BinaryInputStream& stream, uint32_t flags);

// Every remaining character followed by one NUL.
Array<char> readAllChars8(BinaryInputStream& stream, uint32_t flags);
Array<wchar_t> readAllChars16(BinaryInputStream& stream, uint32_t flags);

// Characters up to the delimiter (consumed, not stored); empty at the end of the stream.
Optional<Array<char>> readUntil(BinaryInputStream& stream, char delimiter, uint32_t flags);
// readUntil decoded from UTF-8.
Optional<String> readLine(BinaryInputStream& stream, char delimiter, uint32_t flags);

} // namespace Tarvio::Io
