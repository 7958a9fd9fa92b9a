#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/memoryinputstream.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Sources for the tests of the readers that read blocks of seekable sources on several workers.
namespace Tarvio::Io::Testing {

inline std::vector<uint8_t> pattern(int64_t size) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

// The bytes before cut, then a failure, wherever it is read from.
class CutStream : public MemoryInputStream {
public:
    CutStream(const std::vector<uint8_t>& bytes, int64_t cut)
        : MemoryInputStream(bytes.empty() ? &None : bytes.data(), static_cast<int64_t>(bytes.size())), mCut(cut) {}

protected:
    int64_t readImpl(void* data, int64_t size) override {
        if (tellg() >= mCut) {
            throwException("source failed");
        }
        return MemoryInputStream::readImpl(data, std::min(size, mCut - tellg()));
    }

private:
    // A memory stream needs a block, also an empty one.
    static constexpr uint8_t None = 0;
    int64_t mCut;
};

// The same bytes for each of workers.
template <typename Source, typename... Extra>
Array<UniquePtr<SeekableBinaryInputStream>> sources(int32_t workers, const std::vector<uint8_t>& bytes,
                                                    Extra... extra) {
    Array<UniquePtr<SeekableBinaryInputStream>> all;
    for (int32_t i = 0; i < workers; ++i) {
        all.append(makeUnique<Source>(bytes, extra...));
    }
    return all;
}

} // namespace Tarvio::Io::Testing
