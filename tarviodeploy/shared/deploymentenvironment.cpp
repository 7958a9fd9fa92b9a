#include "tarviodeploy/shared/deploymentenvironment.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/core/heapallocator.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/packfilevfs.h"

#include <cstdint>
#include <exception>
#include <limits>

namespace Tarvio {

namespace {

void removeAll(Array<Io::Path>& files) {
    for (const Io::Path& file : files) {
        Io::removeFile(file);
    }
    files.clear();
}

} // namespace

DeploymentEnvironment::DeploymentEnvironment(const void* pack, int32_t size)
    : mFileSystem(makeUnique<Io::CombinedVfs>()) {
    mFileSystem->add(SharedPtr<Io::VirtualFileSystem>(new PackFileVfs(pack, size)));
}

DeploymentEnvironment::~DeploymentEnvironment() {
    removeAll(mTemporaryPackFiles);
    removeAll(mTemporaryFiles);
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

Result<Io::Path> DeploymentEnvironment::extractFile(const Io::Path& target, const Io::Path& source, uint32_t flags) {
    const Io::Path absoluteTarget = target.absolute();
    const Io::Path folder = absoluteTarget.parent();
    if (!Io::isDirectory(folder) && !Io::createDirectories(folder)) {
        return Result<Io::Path>::fromError("Failed to create directory " + folder.toNative());
    }
    try {
        const Result<Array<uint8_t>> content = readFile(source);
        Io::writeFile(absoluteTarget, content.value().data(), content.value().size());
    } catch (const std::exception& exception) {
        return Result<Io::Path>::fromError("Failed to install file " + target.toNative() + ": " +
                                           exceptionMessage(exception));
    }
    if ((flags & static_cast<uint32_t>(ExtractFlags::Temporary)) != 0) {
        mTemporaryFiles.append(absoluteTarget);
    }
    return absoluteTarget;
}

void DeploymentEnvironment::addPackFile(const Io::Path& packFile) {
    mFileSystem->add(SharedPtr<Io::VirtualFileSystem>(new PackFileVfs(packFile)));
}

void DeploymentEnvironment::addTemporaryPackFile(const Io::Path& packFile) {
    addPackFile(packFile);
    mTemporaryPackFiles.append(packFile);
}

Array<String> DeploymentEnvironment::listFiles(const Io::Path& folder, bool recursive,
                                               const Array<String>& extensions) {
    return mFileSystem->listFiles(folder, recursive, extensions.data(), extensions.size());
}

void DeploymentEnvironment::deleteTemporaryFiles() { removeAll(mTemporaryFiles); }

} // namespace Tarvio
