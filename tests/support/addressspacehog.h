#pragma once

// Reserves (without committing) nearly all free address space of this 32-bit process, leaving
// only holes smaller than holeLimit, so that a thread whose stack reservation is at least that
// large cannot be created; the reservation ends with the object. keepBlocks: how many blocks of
// 16 MiB to give back at once, each room for one such thread.

#include <windows.h>

#include <cstddef>
#include <vector>

namespace Tarvio::Testing {

class AddressSpaceHog {
public:
    explicit AddressSpaceHog(std::size_t keepBlocks = 0) {
        // Reserved before the address space runs out.
        std::vector<void*> blocks16;
        blocks16.reserve(256);
        mBlocks.reserve(8192);
        for (std::size_t size : {std::size_t{256} << 20, std::size_t{64} << 20, std::size_t{16} << 20,
                                 std::size_t{4} << 20, std::size_t{1} << 20}) {
            while (void* block = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {
                (size == (std::size_t{16} << 20) ? blocks16 : mBlocks).push_back(block);
            }
        }
        for (std::size_t i = 0; i < blocks16.size(); ++i) {
            if (i < keepBlocks) {
                VirtualFree(blocks16[i], 0, MEM_RELEASE);
            } else {
                mBlocks.push_back(blocks16[i]);
            }
        }
    }

    ~AddressSpaceHog() {
        for (void* block : mBlocks) {
            VirtualFree(block, 0, MEM_RELEASE);
        }
    }

    AddressSpaceHog(const AddressSpaceHog&) = delete;
    AddressSpaceHog& operator=(const AddressSpaceHog&) = delete;

private:
    std::vector<void*> mBlocks;
};

} // namespace Tarvio::Testing
