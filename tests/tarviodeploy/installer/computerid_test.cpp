#include "tarviodeploy/installer/computerid.h"

#include "tarviolib/core/base64.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace Tarvio {
namespace {

constexpr uint64_t Gib = uint64_t(1) << 30;

std::vector<uint8_t> recordBytes(const ComputerFacts& facts) {
    std::vector<uint8_t> bytes(SystemRecord::Size);
    Detail::systemRecordFrom(facts).serialise(bytes.data());
    return bytes;
}

ComputerFacts windows10Facts() {
    ComputerFacts facts;
    facts.processorName = L"Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz";
    facts.driveSerialNumber = L"  WD-WCC4E1234567 ";
    facts.majorVersionNumber = Optional<uint32_t>(10);
    facts.minorVersionNumber = Optional<uint32_t>(0);
    facts.currentVersion = Optional<String>(L"6.3");
    facts.cpuFeatures = 0xDEADBEEF;
    facts.cpuVendor = CpuVendor::Intel;
    facts.processorCounts.packages = 1;
    facts.processorCounts.cores = 4;
    facts.processorCounts.logicalProcessors = 8;
    facts.physicalMemorySize = 16 * Gib;
    facts.windows64 = true;
    return facts;
}

// What Wine answers: no serial number, "6.1" and no numeric version values.
ComputerFacts wineFacts() {
    ComputerFacts facts;
    facts.processorName = L"AMD Ryzen 7 5800X 8-Core Processor";
    facts.currentVersion = Optional<String>(L"6.1");
    facts.cpuFeatures = 4;
    facts.cpuVendor = CpuVendor::Amd;
    facts.processorCounts.packages = 1;
    facts.processorCounts.logicalProcessors = 16;
    facts.physicalMemorySize = 4 * Gib;
    return facts;
}

TEST(ComputerIdTest, RecordHoldsItsFieldsLittleEndianInOrder) {
    EXPECT_EQ(recordBytes(windows10Facts()),
              (std::vector<uint8_t>{10, 0, 1 | 2 | 4, 0xEF, 0xBE, 0xAD, 0xDE, 8, 0, 1, 1, 2}));
    EXPECT_EQ(recordBytes(wineFacts()), (std::vector<uint8_t>{6, 1, 0, 4, 0, 0, 0, 16, 0, 1, 2, 0}));
    // Nothing known at all.
    EXPECT_EQ(recordBytes(ComputerFacts()), (std::vector<uint8_t>{255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ComputerIdTest, CountsAreCutToTheirBitsAndMemoryRoundsToWholeGibThenEights) {
    const struct {
        int32_t packages;
        int32_t logicalProcessors;
        uint64_t memory;
        uint32_t cpuWord;
        uint8_t memoryByte;
    } cases[] = {
        {15, 4095, 8 * Gib - Gib / 2, 0x010F0FFF, 1},     // half a GiB rounds up to 8 GiB
        {16, 4096, 8 * Gib - Gib / 2 - 1, 0x01000000, 0}, // just below stays 7 GiB
        {17, 4097, 2040 * Gib, 0x01010001, 255},
        {0, 0, 2048 * Gib, 0x01000000, 255}, // 256 eights of GiB: at most 255
        {-1, -1, uint64_t(-1), 0x010F0FFF, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cpuWord);
        ComputerFacts facts = windows10Facts();
        facts.processorCounts.packages = c.packages;
        facts.processorCounts.logicalProcessors = c.logicalProcessors;
        facts.physicalMemorySize = c.memory;
        const SystemRecord record = Detail::systemRecordFrom(facts);
        EXPECT_EQ(record.cpuWord, c.cpuWord);
        EXPECT_EQ(record.memory, c.memoryByte);
    }
}

TEST(ComputerIdTest, VersionComesFromTheNumbersElseFromTheTwoPartsOfTheText) {
    const struct {
        Optional<uint32_t> major;
        Optional<uint32_t> minor;
        Optional<String> text;
        uint8_t expectedMajor;
        uint8_t expectedMinor;
    } cases[] = {
        {10u, 0u, String(L"6.3"), 10, 0},
        {0x1FFu, 0x100u, Optional<String>(), 255, 0}, // low 8 bits
        {10u, Optional<uint32_t>(), String(L"6.3"), 6, 3}, // both numbers or none
        {Optional<uint32_t>(), 0u, String(L"6.1"), 6, 1},
        {{}, {}, String(L"6"), 255, 255},
        {{}, {}, String(L"6.1.2"), 255, 255},
        {{}, {}, String(L""), 255, 255},
        {{}, {}, String(L"."), 255, 255}, // two empty parts
        {{}, {}, String(L".1"), 255, 1},
        {{}, {}, String(L" 7x.+2"), 7, 2}, // blanks skipped, the number ends at the first non-digit
        {{}, {}, String(L"-1.300"), 255, 44},
        {{}, {}, String(L"99999999999.1"), 255, 1}, // too large for an int: no number
        {{}, {}, String(L"\u0666.1"), 255, 1},       // other scripts' digits are no digits
        {{}, {}, Optional<String>(), 255, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.valueOr(L"(none)"));
        ComputerFacts facts;
        facts.majorVersionNumber = c.major;
        facts.minorVersionNumber = c.minor;
        facts.currentVersion = c.text;
        const SystemRecord record = Detail::systemRecordFrom(facts);
        EXPECT_EQ(record.majorVersion, c.expectedMajor);
        EXPECT_EQ(record.minorVersion, c.expectedMinor);
        EXPECT_EQ((record.flags & SystemRecordFlag::VersionNumbers) != 0, c.major.hasValue() && c.minor.hasValue());
    }
}

TEST(ComputerIdTest, MachineIdIsAFixedDigestOfProcessorAndSerialNumber) {
    // Fixed values: the service matches installations of one machine by them.
    EXPECT_EQ(Detail::machineIdFrom(L"Intel(R) Core(TM) i7-4770 CPU @ 3.40GHz", L"  WD-WCC4E1234567 "),
              String("BC0B0FD0"));
    EXPECT_EQ(Detail::machineIdFrom(L"AMD Ryzen 7 5800X 8-Core Processor", L""), String("00355D49"));
    // One text: where the name ends and the serial number begins does not matter.
    EXPECT_EQ(Detail::machineIdFrom(L"AB", L"C"), Detail::machineIdFrom(L"A", L"BC"));
    // Characters beyond ASCII count as "_".
    EXPECT_EQ(Detail::machineIdFrom(L"Intel\u00AE \u4E2D", L"\u00FF"), Detail::machineIdFrom(L"Intel_ _", L"_"));
    EXPECT_NE(Detail::machineIdFrom(L"A", L""), Detail::machineIdFrom(L"A", L"1"));
}

TEST(ComputerIdTest, ComputerIdIsBase64OfMachineIdRecordAndReferralByte) {
    const ComputerFacts facts = wineFacts();
    const String machine = Detail::machineIdFrom(facts.processorName, facts.driveSerialNumber);
    const struct {
        int32_t referral;
        uint8_t lastByte;
    } cases[] = {{5000, 0}, {136, 0}, {0, 120}, {-121, 255}, {INT_MAX, 119}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.referral);
        std::vector<uint8_t> bytes(machine.begin(), machine.end());
        const std::vector<uint8_t> record = recordBytes(facts);
        bytes.insert(bytes.end(), record.begin(), record.end());
        bytes.push_back(c.lastByte);
        ASSERT_EQ(bytes.size(), 21u);
        const String id = Detail::computerIdFrom(facts, c.referral);
        EXPECT_EQ(id, base64Encode(bytes.data(), 21));
        EXPECT_EQ(id.size(), 28);
        EXPECT_EQ(id.find(L"="), String::NotFound);
    }
    // A last byte of 0 ends the text with the alphabet's first character.
    EXPECT_EQ(Detail::computerIdFrom(facts, 5000)[27], L'A');
}

} // namespace
} // namespace Tarvio
