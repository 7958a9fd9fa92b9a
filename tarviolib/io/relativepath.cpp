#include "tarviolib/io/relativepath.h"

#include <cstdint>

namespace Tarvio::Io {

namespace {

bool isForbiddenUnit(wchar_t unit) {
    switch (unit) {
    case L'\\':
    case L':':
    case L'<':
    case L'>':
    case L'"':
    case L'|':
    case L'?':
    case L'*':
    case 0x7F:
        return true;
    default:
        return unit < 0x20;
    }
}

bool equalsIgnoringAsciiCase(const String& text, int32_t begin, int32_t end, const wchar_t* word) {
    int32_t i = begin;
    for (; i < end && *word != L'\0'; ++i, ++word) {
        const wchar_t unit = text[i];
        const wchar_t upper = unit >= L'a' && unit <= L'z' ? static_cast<wchar_t>(unit - L'a' + L'A') : unit;
        if (upper != *word) {
            return false;
        }
    }
    return i == end && *word == L'\0';
}

// Windows takes the text before the first dot, blanks at its end dropped, as the device whatever
// follows: "nul.txt" and "Com1 .log" are devices.
bool isDeviceName(const String& text, int32_t begin, int32_t end) {
    int32_t stem = begin;
    while (stem < end && text[stem] != L'.') {
        ++stem;
    }
    while (stem > begin && text[stem - 1] == L' ') {
        --stem;
    }
    static const wchar_t* const Devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : Devices) {
        if (equalsIgnoringAsciiCase(text, begin, stem, device)) {
            return true;
        }
    }
    // COM0 to COM9 and LPT0 to LPT9, also with the superscript digits 1, 2 and 3.
    if (stem - begin != 4 || !(equalsIgnoringAsciiCase(text, begin, begin + 3, L"COM") ||
                               equalsIgnoringAsciiCase(text, begin, begin + 3, L"LPT"))) {
        return false;
    }
    const wchar_t digit = text[begin + 3];
    return (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool isPlainPart(const String& text, int32_t begin, int32_t end) {
    if (begin == end) {
        return false;
    }
    const wchar_t last = text[end - 1];
    // Covers "." and "..", and "..." or ".. " too, which Windows reads as "..".
    if (last == L'.' || last == L' ') {
        return false;
    }
    return !isDeviceName(text, begin, end);
}

} // namespace

bool isContainedRelativePath(const String& name) {
    int32_t begin = 0;
    for (int32_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && isForbiddenUnit(name[i])) {
            return false;
        }
        if (i == name.size() || name[i] == L'/') {
            if (!isPlainPart(name, begin, i)) {
                return false;
            }
            begin = i + 1;
        }
    }
    return true;
}

} // namespace Tarvio::Io
