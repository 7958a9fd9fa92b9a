#include "tarviolib/core/debugoutput.h"

#include "tarviolib/core/detail/debugchannel.h"

#include <cstdlib>
#include <cstring>
#include <locale>
#include <string>

namespace Tarvio {

namespace {

bool readDebugOutputSwitch() {
    const char* value = std::getenv("TARVIO_DEBUG_OUTPUT");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

#ifdef TARVIO_TEST_SEAMS
struct DebugOutputOverride {
    bool active = false;
    bool enabled = false;
    Function<Detail::DebugClockTime()> clock;
    Function<void(const wchar_t*)> channel;
};

DebugOutputOverride& debugOverride() {
    static DebugOutputOverride instance;
    return instance;
}
#endif

Detail::DebugClockTime clockTime() {
#ifdef TARVIO_TEST_SEAMS
    if (debugOverride().active) {
        return debugOverride().clock();
    }
#endif
    return Detail::currentDebugClockTime();
}

void writeLine(const std::wstring& line) {
#ifdef TARVIO_TEST_SEAMS
    if (debugOverride().active) {
        debugOverride().channel(line.c_str());
        return;
    }
#endif
    Detail::writeDebugChannel(line.c_str());
}

std::wstring debugLine(const std::wstring& message) {
    const Detail::DebugClockTime time = clockTime();
    const std::wstring prefix = L"#TARVIO (" + std::to_wstring(time.hours) + L":" + std::to_wstring(time.minutes) +
                                L":" + std::to_wstring(time.seconds) + L")  ";
    const std::wstring indent = L"\n" + std::wstring(prefix.size(), L' ');

    std::wstring line = prefix;
    for (wchar_t unit : message) {
        if (unit == L'\n') {
            line += indent;
        } else {
            line += unit;
        }
    }
    line += L'\n';
    return line;
}

} // namespace

bool isDebugOutputEnabled() {
#ifdef TARVIO_TEST_SEAMS
    if (debugOverride().active) {
        return debugOverride().enabled;
    }
#endif
    static const bool enabled = readDebugOutputSwitch();
    return enabled;
}

void debugOutput(const std::wostringstream& stream) {
    if (isDebugOutputEnabled()) {
        writeLine(debugLine(stream.str()));
    }
}

void debugLog(const char* text1, int64_t value1, const char* text2, int64_t value2) {
    std::wostringstream stream;
    stream.imbue(std::locale::classic());
    stream << text1 << L' ' << value1 << L' ' << text2 << L' ' << value2;
    debugOutput(stream);
}

#ifdef TARVIO_TEST_SEAMS
namespace Detail {

void overrideDebugOutput(bool enabled, Function<DebugClockTime()> clock, Function<void(const wchar_t*)> channel) {
    debugOverride() = {true, enabled, std::move(clock), std::move(channel)};
}

void restoreDebugOutput() { debugOverride() = DebugOutputOverride(); }

} // namespace Detail
#endif

} // namespace Tarvio
