#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/winapi/systeminfo.h"

#include <cstdint>

namespace Tarvio {

// What the computer id is made of, as the machine answers; what cannot be read stays empty or 0.
struct ComputerFacts {
    String processorName;
    String driveSerialNumber;
    // The values of the Windows version key.
    Optional<uint32_t> majorVersionNumber;
    Optional<uint32_t> minorVersionNumber;
    Optional<String> currentVersion;
    uint32_t cpuFeatures = 0;
    CpuVendor cpuVendor = CpuVendor::Unknown;
    ProcessorCounts processorCounts;
    uint64_t physicalMemorySize = 0;
    bool windows64 = false;
};

// The bits of SystemRecord::flags: how much the record and the machine id could learn.
namespace SystemRecordFlag {
constexpr uint8_t DriveSerialNumber = 1; // the machine id includes the disk's serial number
constexpr uint8_t VersionNumbers = 2;    // the version came from the numeric values (Windows 10 on)
constexpr uint8_t Windows64 = 4;
} // namespace SystemRecordFlag

struct SystemRecord {
    static constexpr int32_t Size = 12;

    uint8_t majorVersion = 255; // 255: unknown
    uint8_t minorVersion = 255;
    uint8_t flags = 0;
    uint32_t cpuFeatures = 0;
    // Bits 24-27 the vendor, 16-19 the processor packages, 0-11 the logical processors.
    uint32_t cpuWord = 0;
    // Physical memory in units of 8 GiB, at most 255.
    uint8_t memory = 0;

    // Field order, little-endian.
    void serialise(uint8_t* bytes) const;
};

// Everything is read anew at each call; nothing fails.
ComputerFacts readComputerFacts();
// Base64 of the machine id, the system record and a byte of the referral number: 28 characters.
String computerId(int32_t referral);
// 8 uppercase hexadecimal digits.
String machineId();
SystemRecord systemRecord();

namespace Detail {
String machineIdFrom(const String& processorName, const String& driveSerialNumber);
SystemRecord systemRecordFrom(const ComputerFacts& facts);
String computerIdFrom(const ComputerFacts& facts, int32_t referral);
} // namespace Detail

} // namespace Tarvio
