#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio {

// How the user's locale writes numbers. grouping uses the Windows notation: group sizes from the
// decimal point leftwards separated by ';', a final 0 repeating the last size ("3;0" is 1,234,567,
// "3" is 1234,567, "3;2;0" is 12,34,567).
struct NumberFormat {
    wchar_t decimalSeparator = L'.';
    String thousandsSeparator = L",";
    String grouping = L"3;0";
};

// The user's number format as the platform reports it.
NumberFormat userNumberFormat();

} // namespace Tarvio
