#include "tarviolib/core/numberformat.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

// The values depend on the user's locale; only their shape is fixed.
TEST(NumberFormatTest, UserFormatFromWindowsIsSane) {
    const NumberFormat format = userNumberFormat();
    EXPECT_NE(format.decimalSeparator, L'\0');
    EXPECT_FALSE(format.decimalSeparator >= L'0' && format.decimalSeparator <= L'9');
    EXPECT_LE(format.thousandsSeparator.size(), 3);
    EXPECT_FALSE(format.grouping.isEmpty());
    for (wchar_t unit : format.grouping) {
        EXPECT_TRUE((unit >= L'0' && unit <= L'9') || unit == L';') << format.grouping;
    }
}

} // namespace
} // namespace Tarvio
