#include "tarviolib/winapi/diskserial.h"

#include "tarviolib/winapi/scopedhandle.h"

#include "tarviolib/core/buffer.h"
#include "tarviolib/core/optional.h"

#include <windows.h>

#include <winioctl.h>

#include <cstddef>
#include <cstring>

namespace Tarvio::WinApi {

namespace {

// Larger than any device descriptor a driver reports; a bigger size is taken as a bad answer.
constexpr DWORD MaximumDescriptorSize = 64 * 1024;

class DeviceHandle : public Noncopyable {
public:
    // No access rights: the queries used here need none, and so no administrator.
    explicit DeviceHandle(const String& device)
        : mHandle(CreateFileW(device.text(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {}

    bool isOpen() const { return static_cast<bool>(mHandle); }
    bool control(DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize) const {
        DWORD returned = 0;
        return DeviceIoControl(mHandle.get(), code, const_cast<void*>(input), inputSize, output, outputSize, &returned,
                               nullptr) != 0;
    }

private:
    FileHandle mHandle;
};

Optional<DWORD> firstDiskNumber(wchar_t driveLetter) {
    const DeviceHandle volume(String(L"\\\\.\\") + String(driveLetter, 1) + L":");
    // Room for one extent only: a volume spanning several disks answers no number.
    VOLUME_DISK_EXTENTS extents = {};
    static_assert(sizeof(extents) == 32, "one extent");
    if (!volume.isOpen() ||
        !volume.control(IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, &extents, sizeof(extents))) {
        return Optional<DWORD>();
    }
    return Optional<DWORD>(extents.Extents[0].DiskNumber);
}

} // namespace

String physicalDriveSerialNumber() {
    const Optional<DWORD> diskNumber = firstDiskNumber(Detail::serialNumberDriveLetter(GetLogicalDrives()));
    if (!diskNumber.hasValue()) {
        return String();
    }
    String device(L"\\\\.\\PhysicalDrive");
    device += static_cast<int32_t>(diskNumber.value());
    const DeviceHandle disk(device);
    if (!disk.isOpen()) {
        return String();
    }
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DESCRIPTOR_HEADER header = {};
    if (!disk.control(IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &header, sizeof(header)) ||
        header.Size > MaximumDescriptorSize) {
        return String();
    }
    // One zero byte more than the descriptor, so that a serial number at its very end is ended.
    Buffer<uint8_t> descriptor(static_cast<int32_t>(header.Size) + 1);
    ZeroMemory(descriptor.data(), descriptor.size());
    if (!disk.control(IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), descriptor.data(), header.Size + 1)) {
        return String();
    }
    return Detail::serialNumberFrom(descriptor.data(), header.Size);
}

namespace Detail {

wchar_t serialNumberDriveLetter(uint32_t logicalDrives) {
    for (int32_t letter = 2; letter < 26; ++letter) {
        if (logicalDrives & (1u << letter)) {
            return static_cast<wchar_t>(L'A' + letter);
        }
    }
    return L'C';
}

String serialNumberFrom(const uint8_t* descriptor, uint32_t size) {
    constexpr uint32_t offsetEnd = offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) + sizeof(DWORD);
    if (size < offsetEnd) {
        return String();
    }
    DWORD offset = 0;
    std::memcpy(&offset, descriptor + offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset), sizeof(offset));
    String serial;
    // An offset at or past the end (a driver's bad answer) gives no text rather than a read outside.
    for (uint32_t index = offset; index != 0 && index < size && descriptor[index] != 0; ++index) {
        serial += static_cast<wchar_t>(descriptor[index]);
    }
    return serial;
}

} // namespace Detail

} // namespace Tarvio::WinApi
