#include "tarviolib/core/numberformat.h"

#include <windows.h>

namespace Tarvio {

namespace {

// The locale's value for type, or an empty String.
String localeValue(LCTYPE type) {
    wchar_t value[16] = {};
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, value, 16) > 0 ? String(value) : String();
}

} // namespace

NumberFormat userNumberFormat() {
    // The C++ runtime's user locale is not available here, so the separators come from Windows.
    NumberFormat format;
    const String decimal = localeValue(LOCALE_SDECIMAL);
    if (!decimal.isEmpty()) {
        format.decimalSeparator = decimal[0];
    }
    format.thousandsSeparator = localeValue(LOCALE_STHOUSAND);
    const String grouping = localeValue(LOCALE_SGROUPING);
    if (!grouping.isEmpty()) {
        format.grouping = grouping;
    }
    return format;
}

} // namespace Tarvio
