#include "tarviodeploy/shared/deploymentenvironment.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/io/fileaccessexception.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/memoryinputstream.h"
#include "tarviolib/io/packfilevfs.h"
#include "tarviolib/io/parallelcopy.h"
#include "tarviolib/io/readaheadinputstream.h"
#include "tarviolib/io/replacementfile.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <utility>

namespace Tarvio {

namespace {

void removeAll(Array<Io::Path>& files) {
    for (const Io::Path& file : files) {
        Io::removeFile(file);
    }
    files.clear();
}

// The file layer's replacement of the target, whose failures name the target.
class TargetFile : public Noncopyable {
public:
    explicit TargetFile(const Io::Path& target) : mFile(target) {}

    void write(const void* data, int64_t size) {
        guarded([&] { mFile.stream().write(data, size); });
    }

    void commit() {
        guarded([&] { mFile.commit(); });
    }

private:
    template <typename Work>
    void guarded(Work work) {
        try {
            work();
        } catch (const std::exception&) {
            rethrowOutOfMemory();
            throw fileAccessException(mFile.target());
        }
    }

    Io::ReplacementFile mFile;
};

// What open gives, or nothing (empty) when the pack cannot open the file; running out of memory
// is not that.
template <typename Open>
auto openedOrNothing(Open open) -> decltype(open()) {
    try {
        return open();
    } catch (...) {
        rethrowOutOfMemory();
        return {};
    }
}

// Copies the first size bytes of content into file; answers the failure of the content, if any.
// A content that ends early fails as the exact read of the whole file does.
std::exception_ptr copyContent(Io::ReadAheadInputStream& content, TargetFile& file, int64_t size) {
    for (int64_t left = size; left > 0;) {
        const uint8_t* block = nullptr;
        int64_t count = 0;
        try {
            count = content.readBlock(block);
            if (count == 0) {
                uint8_t missing = 0;
                Io::readExact(content, &missing, 1);
            }
        } catch (...) {
            return rethrowOutOfMemory(); // out of memory is no failure of the content
        }
        count = std::min(count, left);
        file.write(block, count);
        left -= count;
    }
    return nullptr;
}

} // namespace

DeploymentEnvironment::DeploymentEnvironment(const void* pack, int32_t size)
    : mFileSystem(makeUnique<Io::CombinedVfs>()) {
    addPack(makeShared<PackFileVfs>(pack, size));
}

DeploymentEnvironment::~DeploymentEnvironment() {
    removeAll(mTemporaryPackFiles);
    removeAll(mTemporaryFiles);
    for (const Io::Path& folder : mTemporaryFolders) {
        Io::removeDirectory(folder);
    }
}

Result<Array<uint8_t>> DeploymentEnvironment::readFile(const Io::Path& source) {
    UniquePtr<Io::SeekableBinaryInputStream> stream = mFileSystem->open(source);
    const int64_t size = mFileSystem->fileSize(source);
    if (size > std::numeric_limits<int32_t>::max()) {
        HeapAllocator::failAllocation(size);
    }
    Array<uint8_t> bytes;
    bytes.resize(static_cast<int32_t>(size));
    Io::readExact(*stream, bytes.data(), size);
    return bytes;
}

Result<Image> DeploymentEnvironment::loadImage(const Io::Path& path) {
    Result<Array<uint8_t>> bytes = readFile(path);
    if (!bytes.ok()) {
        return Result<Image>::fromError(bytes.error());
    }
    Io::MemoryInputStream stream(bytes.value().data(), bytes.value().size());
    return Image::load(stream, imageFormatFromPath(path));
}

Result<Io::Path> DeploymentEnvironment::extractFile(const Io::Path& target, const Io::Path& source, uint32_t flags) {
    const Io::Path absoluteTarget = target.absolute();
    const Io::Path folder = absoluteTarget.parent();
    if (!Io::isDirectory(folder) && !Io::createDirectories(folder)) {
        return Result<Io::Path>::fromError("Failed to create directory " + folder.toNative());
    }
    try {
        writeContent(source, absoluteTarget);
    } catch (const std::exception& exception) {
        rethrowOutOfMemory();
        return Result<Io::Path>::fromError("Failed to install file " + target.toNative() + ": " +
                                           exceptionMessage(exception));
    }
    if ((flags & static_cast<uint32_t>(ExtractFlags::Temporary)) != 0) {
        mTemporaryFiles.append(absoluteTarget);
    }
    return absoluteTarget;
}

void DeploymentEnvironment::writeContent(const Io::Path& source, const Io::Path& target) {
    // As readFile: the first pack that opens the file gives the content, the first that holds it
    // the size.
    const int64_t size = mFileSystem->fileSize(source);
    for (const SharedPtr<PackFileVfs>& pack : mPacks) {
        if (!pack->exists(source)) {
            continue;
        }
        if (!pack->isCompressed(source)) {
            Array<UniquePtr<Io::SeekableBinaryInputStream>> parts =
                openedOrNothing([&] { return pack->openInParts(source); });
            if (parts.isEmpty()) {
                continue;
            }
            TargetFile file(target);
            // Each worker writes the blocks that it has unscrambled, from its processor's cache.
            Io::copyInParallel(std::move(parts), size,
                               [&file](const uint8_t* block, int64_t count) { file.write(block, count); });
            file.commit();
            return;
        }
        UniquePtr<Io::ReadAheadInputStream> content = openedOrNothing([&] { return pack->openSequential(source); });
        if (!content) {
            continue;
        }
        TargetFile file(target);
        // The writes here overlap the inflating on the stream's worker.
        if (!copyContent(*content, file, size)) {
            file.commit();
            return;
        }
        // A compressed file that does not inflate is one that its pack cannot open.
    }
    throw fileAccessException(source);
}

void DeploymentEnvironment::addPack(SharedPtr<PackFileVfs> pack) {
    mFileSystem->add(pack);
    mPacks.append(std::move(pack));
}

void DeploymentEnvironment::addPackFile(const Io::Path& packFile) { addPack(makeShared<PackFileVfs>(packFile)); }

void DeploymentEnvironment::addTemporaryPackFile(const Io::Path& packFile) {
    addPackFile(packFile);
    mTemporaryPackFiles.append(packFile);
}

void DeploymentEnvironment::addTemporaryFolder(const Io::Path& folder) { mTemporaryFolders.append(folder); }

Array<String> DeploymentEnvironment::listFiles(const Io::Path& folder, bool recursive,
                                               const Array<String>& extensions) {
    return mFileSystem->listFiles(folder, recursive, extensions.data(), extensions.size());
}

void DeploymentEnvironment::deleteTemporaryFiles() { removeAll(mTemporaryFiles); }

} // namespace Tarvio
