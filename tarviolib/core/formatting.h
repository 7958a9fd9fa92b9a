#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/localdatetime.h"
#include "tarviolib/core/numberformat.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// Texts for people: numbers follow the user's number format (toString is the text for machines).

// x rounded to decimals places, halves away from zero, with the locale's separator and grouping.
String formatFixed(double x, int32_t decimals);
// formatFixed without trailing zeros, and without the separator when no decimal remains.
String formatNumber(double x, int32_t decimals);
// "512 B", "1.5 KiB", "1,024 MiB", "2.3 GiB": one decimal at most.
String formatByteSize(uint64_t bytes);
// Grouped digits; from 100,000,000 up in millions followed by " M".
String formatCount(uint64_t count);

enum DateTimeFlags : uint32_t { DateTimeDate = 1, DateTimeTime = 2 };
// The current local time as "2026-02-03", "09:05:07" or both separated by a blank.
String formatDateTime(uint32_t flags);
String formatDateTime(uint32_t flags, const LocalDateTime& time);

// The items with separator between them, lastSeparator before the last one.
String join(const Array<String>& items, const String& separator, const String& lastSeparator);

// The user's decimal separator, read once.
wchar_t decimalSeparator();

#if defined(TARVIO_TEST_SEAMS)
// Replaces the user's number format for the rest of the process.
void setNumberFormatForTesting(const NumberFormat& format);
#endif

} // namespace Tarvio
