#include "tarviolib/winapi/diskserial.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace Tarvio::WinApi {
namespace {

TEST(DiskSerialTest, DriveIsTheLowestLetterFromC) {
    const struct {
        uint32_t mask;
        wchar_t letter;
    } cases[] = {
        {0, L'C'}, {1 | 2, L'C'}, {1 | 4, L'C'}, {1 | 8 | 16, L'D'}, {1u << 25, L'Z'}, {0xFC000000u, L'C'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(Detail::serialNumberDriveLetter(c.mask), c.letter);
    }
}

// A device descriptor with text at the serial number offset, as a driver answers it.
std::vector<uint8_t> descriptorWith(DWORD offset, const char* text, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data() + offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset), &offset, sizeof(offset));
    if (offset != 0 && offset < size) {
        std::memcpy(bytes.data() + offset, text, std::min<size_t>(std::strlen(text), size - offset));
    }
    return bytes;
}

TEST(DiskSerialTest, SerialNumberIsTheByteTextAtItsOffset) {
    const DWORD offset = sizeof(STORAGE_DEVICE_DESCRIPTOR);
    const struct {
        DWORD offset;
        const char* text;
        size_t size;
        const wchar_t* serial;
    } cases[] = {
        {offset, "  WD-1234 ", offset + 16, L"  WD-1234 "}, // blanks kept
        {offset, "S\xE9N", offset + 16, L"S\u00E9N"},       // a byte is one character
        {0, "", offset + 16, L""},                           // no serial number
        {offset, "ABCDEF", offset + 3, L"ABC"},             // ends with the descriptor
        {offset + 100, "X", offset + 16, L""},               // an offset past the end reads nothing
        {offset, "X", offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) + 2, L""}, // no room for it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        const std::vector<uint8_t> descriptor = descriptorWith(c.offset, c.text, c.size);
        EXPECT_EQ(Detail::serialNumberFrom(descriptor.data(), static_cast<uint32_t>(descriptor.size())),
                  String(c.serial));
    }
}

TEST(DiskSerialTest, QueryAnswersWithoutFailing) {
    // Wine has no disk devices; a real machine answers its disk's text. Either way it is stable.
    EXPECT_EQ(physicalDriveSerialNumber(), physicalDriveSerialNumber());
}

} // namespace
} // namespace Tarvio::WinApi
