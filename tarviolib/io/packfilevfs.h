#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/packkeystream.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/readaheadinputstream.h"
#include "tarviolib/io/stream.h"
#include "tarviolib/io/virtualfilesystem.h"

#include <cstdint>

namespace Tarvio {

// One file of a pack.
struct PackFileEntry : public Object {
    Io::Path name;
    int64_t storedSize = 0;
    int64_t originalSize = 0;
    // From the pack's first byte.
    int64_t offset = 0;
    // At the file's first stored byte.
    PackKeystream keystreamState{0};
    // The record's position in the directory.
    int64_t index = 0;
    bool compressed = false;
};

// A pack file (guard, seed, scrambled file data, scrambled zlib directory, directory length),
// from a file on disk or a block of memory, as a read-only file system. Names match exactly:
// letter case counts and nothing is resolved. Every size in the directory is checked against the
// pack before it is used, so a damaged pack fails the constructor instead of a later read. So is
// every name: one that would lead outside the folder the pack is installed into
// (Io::isContainedRelativePath) makes the pack damaged.
class PackFileVfs : public Io::VirtualFileSystem {
public:
    static constexpr uint32_t Guard = 0x36548521u;

    // The file is opened afresh for every read, so it may be removed once nothing reads from it.
    explicit PackFileVfs(const Io::Path& packFile);
    // The block must outlive the file system and every stream it hands out.
    PackFileVfs(const void* data, int32_t size);
    PackFileVfs(const PackFileVfs&) = delete;
    PackFileVfs& operator=(const PackFileVfs&) = delete;

    // A compressed file is inflated whole into memory here.
    UniquePtr<Io::SeekableBinaryInputStream> open(const Io::Path& file) override;
    // For reading a file once from start to end without holding it whole: a compressed file
    // inflates as it is read, and a large file is read and unscrambled ahead on worker threads
    // (several for a stored file, one for a compressed one), and inflated on one more, while the
    // caller uses what came before. Damage that open
    // meets at once here fails the read that reaches it, with the same message.
    UniquePtr<Io::ReadAheadInputStream> openSequential(const Io::Path& file);
    // For copying a stored file whole with Io::copyInParallel: one stream over the stored bytes
    // for each of its workers (Io::parallelCopyWorkerCount). A compressed file throws.
    Array<UniquePtr<Io::SeekableBinaryInputStream>> openInParts(const Io::Path& file);
    // False for an unknown name.
    bool isCompressed(const Io::Path& file) const;
    bool exists(const Io::Path& file) override;
    int64_t fileId(const Io::Path& file) override;
    int64_t fileSize(const Io::Path& file) override;
    // Recursive: every file below directory (everything for an empty one); otherwise the files
    // whose parent is exactly directory. Extensions are compared with the lower-cased filters, the
    // files' own letter case kept.
    Array<String> listFiles(const Io::Path& directory, bool recursive, const String* extensions,
                            int32_t count) override;

private:
    UniquePtr<Io::SeekableBinaryInputStream> openSource() const;
    void checkGuard();
    void readDirectory();
    // Null for an unknown name.
    const PackFileEntry* find(const Io::Path& file) const;
    // Throws for an unknown name.
    const PackFileEntry& entry(const Io::Path& file) const;
    UniquePtr<Io::SeekableBinaryInputStream> openStored(const PackFileEntry& entry) const;
    Array<UniquePtr<Io::SeekableBinaryInputStream>> openStoredInParts(const PackFileEntry& entry,
                                                                      int32_t count) const;

    Io::Path mPackFile;
    const void* mData = nullptr;
    int32_t mSize = 0;
    bool mInMemory = false;
    uint32_t mSeed = 0;
    int64_t mDirectoryLength = 0;
    int64_t mDirectoryOffset = 0;
    // Sorted by name text, one entry per name.
    Array<PackFileEntry> mEntries;
};

// A window of a pack, unscrambled as it is read. Seeking restarts the keystream at the window's
// start and jumps it to the target.
class PackFileInputStream : public Io::SeekableBinaryInputStream {
public:
    // Takes the source over and seeks it to offset.
    PackFileInputStream(UniquePtr<Io::SeekableBinaryInputStream> source, int64_t offset, int64_t length,
                        PackKeystream start);

    int64_t tellg() const override;
    // Targets from 0 to the length inclusive.
    void seekg(int64_t offset, SeekOrigin origin) override;

protected:
    // A source that ends inside the window delivers what it gave, then the next read throws
    // "Error reading packed file stream".
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override;

private:
    UniquePtr<Io::SeekableBinaryInputStream> mSource;
    int64_t mOffset;
    int64_t mLength;
    int64_t mPosition = 0;
    bool mEof = false;
    bool mSourceEnded = false;
    PackKeystream mStartState;
    PackKeystream mState;
};

} // namespace Tarvio
