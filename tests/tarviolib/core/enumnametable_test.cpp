#include "tarviolib/core/enumnametable.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace Tarvio {
namespace {

enum class Level : int32_t { Low = -2, Normal = 0, High = 2 };
enum class Small : uint8_t { Top = 200 };
enum class SignedSmall : int8_t { Minus = -1 };

const EnumNameTable<Level, 3> levelNames({{Level::Low, L"Low"}, {Level::Normal, L"Normal"}, {Level::High, L"High"}});

TEST(EnumNameTableTest, NamesTheListedValuesAndReportsOthersAsError) {
    const struct {
        Level value;
        const char* expected;
    } cases[] = {
        {Level::Low, "Low"},
        {Level::Normal, "Normal"},
        {Level::High, "High"},
        {static_cast<Level>(1), "[ERROR]"},
        {static_cast<Level>(-3), "[ERROR]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(levelNames.name(c.value), c.expected) << static_cast<int>(c.value);
    }
}

TEST(EnumNameTableTest, EntriesKeepTheListedOrderAndWidenedValues) {
    const int64_t values[] = {-2, 0, 2};
    const char* names[] = {"Low", "Normal", "High"};
    int32_t index = 0;
    for (const EnumNameEntry& entry : levelNames) {
        EXPECT_EQ(entry.value, values[index]);
        EXPECT_EQ(String(entry.name), names[index]);
        ++index;
    }
    EXPECT_EQ(index, levelNames.size());

    // 8-bit enumerations are zero-extended, even a signed one.
    EXPECT_EQ((EnumNameTable<Small, 1>::widen(Small::Top)), 200);
    EXPECT_EQ((EnumNameTable<SignedSmall, 1>::widen(SignedSmall::Minus)), 255);
}

TEST(EnumNameTableTest, LookupComparesAll64BitsAndTakesTheFirstMatch) {
    const EnumNameEntry entries[] = {
        {int64_t(1) << 32, L"high word"},
        {7, L"first seven"},
        {7, L"second seven"},
    };
    EXPECT_EQ(enumToString(entries, 3, 7), "first seven");
    EXPECT_EQ(enumToString(entries, 3, int64_t(1) << 32), "high word");
    EXPECT_EQ(enumToString(entries, 3, 0), "[ERROR]");
    EXPECT_EQ(enumToString(entries, 0, 7), "[ERROR]");
}

} // namespace
} // namespace Tarvio
