#include "tarviolib/core/formatting.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

namespace Tarvio {

namespace {

NumberFormat& cachedNumberFormat() {
    static NumberFormat format = userNumberFormat();
    return format;
}

String decimalDigits(uint64_t value) {
    return String(std::to_string(value).c_str());
}

// Group sizes from the decimal point leftwards; repeatLast when the notation ends in 0.
struct Grouping {
    Array<int32_t> sizes;
    bool repeatLast = false;
};

Grouping parseGrouping(const String& notation) {
    Grouping grouping;
    for (const String& field : notation.split(L";", true)) {
        int32_t size = 0;
        for (wchar_t unit : field) {
            if (unit >= L'0' && unit <= L'9' && size < 100) {
                size = size * 10 + (unit - L'0');
            }
        }
        grouping.sizes.append(size);
    }
    if (!grouping.sizes.isEmpty() && grouping.sizes[grouping.sizes.size() - 1] == 0) {
        grouping.sizes.resize(grouping.sizes.size() - 1);
        grouping.repeatLast = true;
    }
    return grouping;
}

String groupDigits(const String& digits, const NumberFormat& format) {
    const Grouping grouping = parseGrouping(format.grouping);
    Array<String> groups; // rightmost first
    int32_t end = digits.size();
    for (int32_t index = 0; end > 0; ++index) {
        int32_t size = 0;
        if (index < grouping.sizes.size()) {
            size = grouping.sizes[index];
        } else if (grouping.repeatLast && !grouping.sizes.isEmpty()) {
            size = grouping.sizes[grouping.sizes.size() - 1];
        }
        if (size <= 0 || size >= end) {
            groups.append(digits.substr(0, end));
            break;
        }
        groups.append(digits.substr(end - size, size));
        end -= size;
    }
    String result;
    for (int32_t i = groups.size() - 1; i >= 0; --i) {
        result += groups[i];
        if (i > 0) {
            result += format.thousandsSeparator;
        }
    }
    return result;
}

// Applies the locale to a number written in the classic locale ("-1234.5", "inf").
String localizeNumber(const String& classic, const NumberFormat& format) {
    int32_t start = 0;
    while (start < classic.size() && !(classic[start] >= L'0' && classic[start] <= L'9')) {
        ++start;
    }
    int32_t end = start;
    while (end < classic.size() && classic[end] >= L'0' && classic[end] <= L'9') {
        ++end;
    }
    String result = classic.substr(0, start);
    result += groupDigits(classic.substr(start, end - start), format);
    if (end < classic.size() && classic[end] == L'.') {
        result += format.decimalSeparator;
        ++end;
    }
    result += classic.substr(end);
    return result;
}

String twoDigits(int32_t value) {
    String text = toString(value);
    return text.size() < 2 ? String(L'0', 2 - text.size()) + text : text;
}

} // namespace

String formatFixed(double x, int32_t decimals) {
    decimals = decimals > 0 ? decimals : 0;
    const double scaled = std::round(x * std::pow(10.0, decimals));
    if (std::isfinite(scaled)) {
        x = scaled * std::pow(10.0, -decimals);
    }
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << std::fixed << std::setprecision(decimals) << x;
    return localizeNumber(String(stream.str().c_str()), cachedNumberFormat());
}

String formatNumber(double x, int32_t decimals) {
    const String text = formatFixed(x, decimals);
    const int32_t separator = text.findLast(decimalSeparator());
    if (separator == String::NotFound) {
        return text;
    }
    const int32_t lastNonZero = text.findLastNot(L'0');
    return text.substr(0, lastNonZero == separator ? separator : lastNonZero + 1);
}

String formatByteSize(uint64_t bytes) {
    struct Unit {
        uint64_t size;
        const char* suffix;
    };
    static const Unit units[] = {{1ull << 30, " GiB"}, {1ull << 20, " MiB"}, {1ull << 10, " KiB"}};
    for (const Unit& unit : units) {
        if (bytes >= unit.size) {
            return formatNumber(static_cast<double>(bytes) / static_cast<double>(unit.size), 1) + unit.suffix;
        }
    }
    return decimalDigits(bytes) + " B";
}

String formatCount(uint64_t count) {
    const NumberFormat& format = cachedNumberFormat();
    if (count >= 100000000) {
        return groupDigits(decimalDigits(count / 1000000), format) + " M";
    }
    return groupDigits(decimalDigits(count), format);
}

String formatDateTime(uint32_t flags) {
    return formatDateTime(flags, currentLocalDateTime());
}

String formatDateTime(uint32_t flags, const LocalDateTime& time) {
    String text;
    if (flags & DateTimeDate) {
        text += toString(time.year) + "-" + twoDigits(time.month) + "-" + twoDigits(time.day);
    }
    if (flags & DateTimeTime) {
        if (!text.isEmpty()) {
            text += ' ';
        }
        text += twoDigits(time.hours) + ":" + twoDigits(time.minutes) + ":" + twoDigits(time.seconds);
    }
    return text;
}

String join(const Array<String>& items, const String& separator, const String& lastSeparator) {
    String text;
    for (int32_t i = 0; i < items.size(); ++i) {
        text += items[i];
        const int32_t following = items.size() - 1 - i;
        if (following >= 2) {
            text += separator;
        } else if (following == 1) {
            text += lastSeparator;
        }
    }
    return text;
}

wchar_t decimalSeparator() {
    return cachedNumberFormat().decimalSeparator;
}

#if defined(TARVIO_TEST_SEAMS)
void setNumberFormatForTesting(const NumberFormat& format) {
    cachedNumberFormat() = format;
}
#endif

} // namespace Tarvio
