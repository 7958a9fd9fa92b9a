#include "tarviodeploy/installer/computerid.h"

#include "tarviolib/core/base64.h"
#include "tarviolib/core/md5.h"

#include <sstream>

namespace Tarvio {

namespace {

constexpr int32_t MachineIdSize = 8;
constexpr int32_t ComputerIdSize = MachineIdSize + SystemRecord::Size + 1;

// The prefix and the salt are assembled, not stored, so that the executable holds neither as a text.
String machineIdPrefix() {
    String group;
    for (const int32_t letter : {10, 21, 19}) {
        group += static_cast<wchar_t>(L'a' + letter);
    }
    return group + group;
}

const String& machineIdSalt() {
    static const String salt = [] {
        String text;
        for (const int32_t code : {0x37, 0x48, 0x71, 0x32, 0x78}) {
            text += static_cast<wchar_t>(code);
        }
        return text;
    }();
    return salt;
}

// Read the way a stream extracts an int; 255 when it yields none.
uint8_t versionPart(const String& part) {
    std::istringstream stream(part.toAscii('_').text());
    int32_t value = 0;
    return stream >> value ? static_cast<uint8_t>(value) : 255;
}

void setVersion(SystemRecord& record, const ComputerFacts& facts) {
    if (facts.majorVersionNumber.hasValue() && facts.minorVersionNumber.hasValue()) {
        record.majorVersion = static_cast<uint8_t>(facts.majorVersionNumber.value());
        record.minorVersion = static_cast<uint8_t>(facts.minorVersionNumber.value());
        record.flags |= SystemRecordFlag::VersionNumbers;
        return;
    }
    if (!facts.currentVersion.hasValue()) {
        return;
    }
    const Array<String> parts = facts.currentVersion.value().split(L".", false);
    if (parts.size() == 2) {
        record.majorVersion = versionPart(parts[0]);
        record.minorVersion = versionPart(parts[1]);
    }
}

// In units of 8 GiB, after rounding to the nearest GiB (a half up).
uint8_t memoryUnits(uint64_t bytes) {
    constexpr uint64_t gib = uint64_t(1) << 30;
    const uint64_t wholeGib = bytes / gib + (bytes % gib >= gib / 2 ? 1 : 0);
    return wholeGib / 8 > 255 ? 255 : static_cast<uint8_t>(wholeGib / 8);
}

void putUint32(uint8_t* bytes, uint32_t value) {
    for (int32_t index = 0; index < 4; ++index) {
        bytes[index] = static_cast<uint8_t>(value >> (8 * index));
    }
}

} // namespace

void SystemRecord::serialise(uint8_t* bytes) const {
    bytes[0] = majorVersion;
    bytes[1] = minorVersion;
    bytes[2] = flags;
    putUint32(bytes + 3, cpuFeatures);
    putUint32(bytes + 7, cpuWord);
    bytes[11] = memory;
}

namespace Detail {

String machineIdFrom(const String& processorName, const String& driveSerialNumber) {
    const String text = machineIdPrefix() + processorName + driveSerialNumber + machineIdSalt();
    String id = md5Hex(text.toAscii('_').text()).substr(0, MachineIdSize);
    id.toUpper();
    return id;
}

SystemRecord systemRecordFrom(const ComputerFacts& facts) {
    SystemRecord record;
    setVersion(record, facts);
    if (!facts.driveSerialNumber.isEmpty()) {
        record.flags |= SystemRecordFlag::DriveSerialNumber;
    }
    if (facts.windows64) {
        record.flags |= SystemRecordFlag::Windows64;
    }
    record.cpuFeatures = facts.cpuFeatures;
    record.cpuWord = (static_cast<uint32_t>(facts.cpuVendor) & 0xF) << 24 |
                     (static_cast<uint32_t>(facts.processorCounts.packages) & 0xF) << 16 |
                     (static_cast<uint32_t>(facts.processorCounts.logicalProcessors) & 0xFFF);
    record.memory = memoryUnits(facts.physicalMemorySize);
    return record;
}

String computerIdFrom(const ComputerFacts& facts, int32_t referral) {
    uint8_t bytes[ComputerIdSize];
    const String id = machineIdFrom(facts.processorName, facts.driveSerialNumber);
    for (int32_t index = 0; index < MachineIdSize; ++index) {
        bytes[index] = static_cast<uint8_t>(id[index]);
    }
    systemRecordFrom(facts).serialise(bytes + MachineIdSize);
    bytes[ComputerIdSize - 1] = static_cast<uint8_t>(static_cast<uint32_t>(referral) + 120u);
    return base64Encode(bytes, ComputerIdSize);
}

} // namespace Detail

} // namespace Tarvio
