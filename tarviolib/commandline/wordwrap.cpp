#include "tarviolib/commandline/wordwrap.h"

namespace Tarvio::CommandLine {

namespace {

bool isWhiteSpace(wchar_t unit) {
    return unit == L' ' || unit == L'\t' || unit == L'\n' || unit == L'\r' || unit == L'\v' || unit == L'\f';
}

} // namespace

const String& helpIndent() {
    static const String indent(L"    ");
    return indent;
}

String wordWrap(const String& text, int32_t width, const String& linePrefix) {
    String result;
    int32_t remaining = width;
    int32_t position = 0;
    while (true) {
        while (position < text.size() && isWhiteSpace(text[position])) {
            ++position;
        }
        if (position == text.size()) {
            return result;
        }
        const int32_t start = position;
        while (position < text.size() && !isWhiteSpace(text[position])) {
            ++position;
        }
        const int32_t length = position - start;
        const String word = text.substr(start, length);
        if (remaining == width) {
            result += linePrefix;
            result += word;
            remaining = width - length;
        } else if (length + 1 <= remaining) {
            result += L' ';
            result += word;
            remaining -= length + 1;
        } else {
            result += L'\n';
            result += linePrefix;
            result += word;
            remaining = width - length;
        }
        if (position < text.size() && text[position] == L'\n') {
            result += L'\n';
            remaining = width;
        }
    }
}

} // namespace Tarvio::CommandLine
