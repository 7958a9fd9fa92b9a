#include "tarviodeploy/installer/computerid.h"

#include "tarviodeploy/shared/systemrequirements.h"
#include "tarviolib/winapi/diskserial.h"
#include "tarviolib/winapi/registry.h"

#include <windows.h>

namespace Tarvio {

ComputerFacts readComputerFacts() {
    ComputerFacts facts;
    facts.processorName = SystemInfo::processorName();
    facts.driveSerialNumber = WinApi::physicalDriveSerialNumber();
    const Optional<WinApi::Registry::Key> versionKey =
        WinApi::Registry::openKey(L"HKEY_LOCAL_MACHINE/SOFTWARE/Microsoft/Windows NT/CurrentVersion", KEY_QUERY_VALUE);
    if (versionKey.hasValue()) {
        facts.majorVersionNumber = versionKey.value().readDword(L"CurrentMajorVersionNumber");
        facts.minorVersionNumber = versionKey.value().readDword(L"CurrentMinorVersionNumber");
        facts.currentVersion = versionKey.value().readString(L"CurrentVersion");
    }
    facts.cpuFeatures = SystemInfo::cpuFeatures();
    facts.cpuVendor = SystemInfo::cpuVendor();
    facts.processorCounts = SystemInfo::processorCounts();
    facts.physicalMemorySize = SystemInfo::physicalMemorySize();
    facts.windows64 = is64BitWindows();
    return facts;
}

String computerId(int32_t referral) {
    return Detail::computerIdFrom(readComputerFacts(), referral);
}

String machineId() {
    return Detail::machineIdFrom(SystemInfo::processorName(), WinApi::physicalDriveSerialNumber());
}

SystemRecord systemRecord() {
    return Detail::systemRecordFrom(readComputerFacts());
}

} // namespace Tarvio
