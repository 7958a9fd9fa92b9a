#include "tarviolib/core/stacktrace.h"

namespace Tarvio::Detail {

namespace {

String lowercaseHex(uint64_t value) {
    String digits;
    do {
        digits += static_cast<char>("0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    String text;
    for (int32_t i = digits.size() - 1; i >= 0; --i) {
        text += digits[i];
    }
    return text;
}

} // namespace

String formatStackTrace(const Array<StackFrameSymbol>& frames) {
    String trace;
    for (int32_t i = 0; i < frames.size(); ++i) {
        const StackFrameSymbol& frame = frames[i];
        trace += " ";
        trace += frames.size() - i - 1;
        trace += " ";
        trace += frame.name.isEmpty() ? String("Unknown symbol") : frame.name;
        trace += "  0x";
        trace += lowercaseHex(frame.address);
        trace += "\n";
    }
    return trace;
}

} // namespace Tarvio::Detail
