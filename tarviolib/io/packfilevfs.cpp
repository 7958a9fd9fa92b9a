#include "tarviolib/io/packfilevfs.h"

#include "tarviolib/core/bytebuffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/stopreport.h"
#include "tarviolib/io/deflateinputstream.h"
#include "tarviolib/io/fileaccessexception.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tarviolib/io/parallelcopy.h"
#include "tarviolib/io/relativepath.h"
#include "tarviolib/io/textreading.h"

#include <algorithm>
#include <utility>

namespace Tarvio {

namespace {

constexpr int64_t HeaderSize = 8;
constexpr int64_t TrailerSize = 8;
// Deflate cannot expand data more than this: a 258-byte match costs at least two bits.
constexpr int64_t MaxInflateRatio = 1032;
// What an empty compressed file's stream reads from: a memory stream needs a block.
const uint8_t NoContent = 0;

[[noreturn]] void throwDamaged(const String& what) { throwException("Damaged pack file: " + what); }

bool byName(const PackFileEntry& left, const PackFileEntry& right) { return left.name.text() < right.name.text(); }

// Sizes that the data area from offset to dataEnd can hold, checked before anything is stepped
// over or allocated for them.
bool fitsInDataArea(int64_t storedSize, int64_t originalSize, bool compressed, int64_t offset, int64_t dataEnd) {
    if (storedSize < 0 || storedSize > dataEnd - offset || originalSize < 0) {
        return false;
    }
    return compressed ? originalSize <= storedSize * MaxInflateRatio : originalSize == storedSize;
}

// The content of a compressed file, which must inflate to exactly its original size.
class InflatedContent : public Io::BinaryInputStream {
public:
    InflatedContent(UniquePtr<Io::BinaryInputStream> stored, int64_t size, const Io::Path& file)
        : mInflated(std::move(stored)), mLeft(size), mFile(file) {}

protected:
    int64_t readImpl(void* data, int64_t size) override {
        const int64_t wanted = std::min(size, mLeft);
        const int64_t count = wanted > 0 ? mInflated.read(data, wanted) : 0;
        mLeft -= count;
        uint8_t beyond = 0;
        if (count < wanted || (mLeft == 0 && mInflated.read(&beyond, 1) != 0)) {
            throwDamaged("'" + mFile.toString() + "' does not inflate to its original size.");
        }
        mEof = count < size;
        return count;
    }
    bool isEofImpl() const override { return mEof; }

private:
    Io::DeflateInputStream mInflated;
    int64_t mLeft;
    Io::Path mFile;
    bool mEof = false;
};

} // namespace

PackFileVfs::PackFileVfs(const Io::Path& packFile) : mPackFile(packFile) { checkGuard(); }

PackFileVfs::PackFileVfs(const void* data, int32_t size) : mData(data), mSize(size), mInMemory(true) {
    checkGuard();
}

UniquePtr<Io::SeekableBinaryInputStream> PackFileVfs::openSource() const {
    if (mInMemory) {
        return makeUnique<Io::MemoryInputStream>(mData, int64_t{mSize});
    }
    return makeUnique<Io::FileInputStream>(mPackFile);
}

void PackFileVfs::checkGuard() {
    {
        UniquePtr<Io::SeekableBinaryInputStream> source = openSource();
        uint32_t guard = 0;
        Io::readObject(*source, guard);
        if (guard != Guard) {
            throwException("checkGuard() failed. Guard: " + toString(static_cast<int32_t>(Guard)));
        }
        Io::readObject(*source, mSeed);
        source->seekg(0, SeekOrigin::End);
        const int64_t packSize = source->tellg();
        // The trailing length would overlap the header.
        if (packSize < HeaderSize + TrailerSize) {
            Io::Detail::throwObjectReadFailure();
        }
        source->seekg(packSize - TrailerSize, SeekOrigin::Begin);
        Io::readObject(*source, mDirectoryLength);
        if (mDirectoryLength < 0 || mDirectoryLength > packSize - HeaderSize - TrailerSize) {
            throwDamaged("the directory does not fit inside the pack.");
        }
        mDirectoryOffset = packSize - mDirectoryLength - TrailerSize;
    }
    if (mDirectoryLength > 0) {
        readDirectory();
    }
}

void PackFileVfs::readDirectory() {
    Io::DeflateInputStream directory(
        makeUnique<PackFileInputStream>(openSource(), mDirectoryOffset, mDirectoryLength, PackKeystream(mSeed)));
    PackKeystream keystream(mSeed);
    int64_t offset = HeaderSize;
    int64_t index = 0;
    Array<PackFileEntry> records;
    while (Optional<String> name = Io::readLine(directory, '\0', 0)) {
        PackFileEntry entry;
        entry.name = Io::Path(*name);
        // Whoever installs the pack writes its files under these names (a backslash read as "/").
        if (!Io::isContainedRelativePath(entry.name.text())) {
            throwDamaged("the name '" + *name + "' is not a relative path inside a folder.");
        }
        entry.index = index++;
        uint8_t compressed = 0;
        Io::readObject(directory, entry.storedSize);
        Io::readObject(directory, entry.originalSize);
        Io::readObject(directory, compressed);
        entry.compressed = compressed != 0;
        if (!fitsInDataArea(entry.storedSize, entry.originalSize, entry.compressed, offset, mDirectoryOffset)) {
            throwDamaged("the sizes of '" + entry.name.toString() + "' do not fit inside the pack.");
        }
        entry.offset = offset;
        entry.keystreamState = keystream;
        offset += entry.storedSize;
        keystream.advance(entry.storedSize);
        records.append(std::move(entry));
    }
    // A repeated name keeps its last record.
    std::stable_sort(records.begin(), records.end(), byName);
    for (int32_t i = 0; i < records.size(); ++i) {
        if (i + 1 == records.size() || records[i].name != records[i + 1].name) {
            mEntries.append(std::move(records[i]));
        }
    }
}

const PackFileEntry* PackFileVfs::find(const Io::Path& file) const {
    const PackFileEntry* entry = std::lower_bound(
        mEntries.begin(), mEntries.end(), file,
        [](const PackFileEntry& candidate, const Io::Path& name) { return candidate.name.text() < name.text(); });
    return entry != mEntries.end() && entry->name == file ? entry : nullptr;
}

const PackFileEntry& PackFileVfs::entry(const Io::Path& file) const {
    const PackFileEntry* entry = find(file);
    if (entry == nullptr) {
        throw fileAccessException(file);
    }
    return *entry;
}

UniquePtr<Io::SeekableBinaryInputStream> PackFileVfs::openStored(const PackFileEntry& entry) const {
    return makeUnique<PackFileInputStream>(openSource(), entry.offset, entry.storedSize, entry.keystreamState);
}

UniquePtr<Io::SeekableBinaryInputStream> PackFileVfs::open(const Io::Path& file) {
    const PackFileEntry& found = entry(file);
    if (!found.compressed) {
        return openStored(found);
    }
    InflatedContent inflated(openStored(found), found.originalSize, file);
    ByteBuffer content(found.originalSize);
    inflated.read(content.data(), found.originalSize);
    // Checks an empty content, which the read above does not reach.
    uint8_t beyond = 0;
    inflated.read(&beyond, 1);
    if (found.originalSize == 0) {
        return makeUnique<Io::MemoryInputStream>(&NoContent, 0);
    }
    return makeUnique<Io::ArrayInputStream<HeapAllocator, int64_t>>(std::move(content));
}

Array<UniquePtr<Io::SeekableBinaryInputStream>> PackFileVfs::openStoredInParts(const PackFileEntry& entry,
                                                                               int32_t count) const {
    // Unscrambling is the slow part of reading a pack: several workers share a large file's, each
    // with its own source, which the keystream's jump lets start at any block.
    Array<UniquePtr<Io::SeekableBinaryInputStream>> sources;
    for (int32_t i = count; i > 0; --i) {
        sources.append(openStored(entry));
    }
    return sources;
}

Array<UniquePtr<Io::SeekableBinaryInputStream>> PackFileVfs::openInParts(const Io::Path& file) {
    const PackFileEntry& found = entry(file);
    if (found.compressed) {
        throwException("PackFileVfs::openInParts() - '" + file.toString() + "' is compressed.");
    }
    return openStoredInParts(found, Io::parallelCopyWorkerCount(found.storedSize));
}

UniquePtr<Io::ReadAheadInputStream> PackFileVfs::openSequential(const Io::Path& file) {
    const PackFileEntry& found = entry(file);
    // zlib takes a compressed file's stored bytes at a small part of one worker's keystream speed:
    // one worker keeps ahead of it, and more would only wake for nothing.
    const int32_t workers = found.compressed ? 1 : Io::ReadAheadInputStream::workerCount(found.storedSize);
    auto stored = makeUnique<Io::ReadAheadInputStream>(openStoredInParts(found, workers), found.storedSize);
    if (!found.compressed) {
        return stored;
    }
    // Inflating on a second worker, while the first reads and unscrambles.
    auto inflated = makeUnique<InflatedContent>(std::move(stored), found.originalSize, file);
    return makeUnique<Io::ReadAheadInputStream>(std::move(inflated), found.originalSize);
}

bool PackFileVfs::isCompressed(const Io::Path& file) const {
    const PackFileEntry* found = find(file);
    return found != nullptr && found->compressed;
}

bool PackFileVfs::exists(const Io::Path& file) { return find(file) != nullptr; }

int64_t PackFileVfs::fileId(const Io::Path& file) {
    const PackFileEntry* entry = find(file);
    if (entry == nullptr) {
        throwException("PackFileVfs::fileId() - fileName not recognized.");
    }
    return entry->index;
}

int64_t PackFileVfs::fileSize(const Io::Path& file) {
    const PackFileEntry* entry = find(file);
    return entry != nullptr ? entry->originalSize : -1;
}

Array<String> PackFileVfs::listFiles(const Io::Path& directory, bool recursive, const String* extensions,
                                     int32_t count) {
    Array<String> filters;
    for (int32_t i = 0; i < count; ++i) {
        filters.append(extensions[i].lowerCased());
    }
    const String& folder = directory.text();
    const String prefix = folder + "/";
    Array<String> files;
    for (const PackFileEntry& entry : mEntries) {
        const String& name = entry.name.text();
        const bool inFolder = recursive ? folder.isEmpty() || name.find(prefix, 0, 1) == 0
                                        : entry.name.parent().text() == folder;
        if (!inFolder) {
            continue;
        }
        if (!filters.isEmpty() &&
            std::find(filters.begin(), filters.end(), entry.name.extension()) == filters.end()) {
            continue;
        }
        files.append(name);
    }
    return files;
}

PackFileInputStream::PackFileInputStream(UniquePtr<Io::SeekableBinaryInputStream> source, int64_t offset,
                                         int64_t length, PackKeystream start)
    : mSource(std::move(source)), mOffset(offset), mLength(length), mStartState(start), mState(start) {
    mSource->seekg(offset, SeekOrigin::Begin);
}

int64_t PackFileInputStream::readImpl(void* data, int64_t size) {
    if (mSourceEnded) {
        throwException("Error reading packed file stream");
    }
    const int64_t wanted = std::min(size, mLength - mPosition);
    const int64_t count = wanted > 0 ? mSource->read(data, wanted) : 0;
    if (count < wanted) {
        // The pack is shorter than its directory says (the file changed under us): hand out only
        // what arrived, without an end, so that the next read fails instead of a copy ending early.
        mSourceEnded = true;
        if (count == 0) {
            throwException("Error reading packed file stream");
        }
    } else if (count < size) {
        mEof = true;
    }
    mPosition += count;
    mState.apply(static_cast<uint8_t*>(data), count);
    return count;
}

bool PackFileInputStream::isEofImpl() const { return mEof; }

int64_t PackFileInputStream::tellg() const { return mPosition; }

void PackFileInputStream::seekg(int64_t offset, SeekOrigin origin) {
    const int64_t target = Io::seekTarget(offset, origin, mPosition, mLength, "tarviolib/io/packfilevfs", 56);
    if (target < 0 || target > mLength) {
        throwException("Error seeking packed file stream");
    }
    mSource->seekg(mOffset + target, SeekOrigin::Begin);
    mPosition = target;
    mState = mStartState;
    mState.advance(target);
    mEof = false;
    mSourceEnded = false;
}

} // namespace Tarvio
