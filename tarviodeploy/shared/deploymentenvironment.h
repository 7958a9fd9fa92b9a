#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/image/image.h"
#include "tarviolib/io/combinedvfs.h"
#include "tarviolib/io/path.h"

#include <cstdint>

namespace Tarvio {

class PackFileVfs;

// Bits of DeploymentEnvironment::extractFile.
enum class ExtractFlags : uint32_t { Temporary = 1 };

// The installer's payload: the pack carried in the program, then the packs added at run time,
// asked in that order. Remembers what it extracted for temporary use, the downloaded packs and
// the folders made for them, and deletes them when it ends.
class DeploymentEnvironment : public Object {
public:
    // The bytes must stay valid for the object's life (the program's own resource).
    DeploymentEnvironment(const void* pack, int32_t size);
    ~DeploymentEnvironment();
    DeploymentEnvironment(const DeploymentEnvironment&) = delete;
    DeploymentEnvironment& operator=(const DeploymentEnvironment&) = delete;

    // The whole file. A name no pack holds, or a failed read, is thrown, never returned.
    Result<Array<uint8_t>> readFile(const Io::Path& source);
    // A payload picture, decoded; its format from the extension. A picture that does not decode
    // is a failed Result; a missing file or an unknown extension is thrown.
    Result<Image> loadImage(const Io::Path& path);
    // Writes the payload file to target (made absolute), creating its folder; answers the absolute
    // target, or an error naming target as given. flags: ExtractFlags bits; others are ignored.
    // The file streams through a temporary file beside the target, which replaces the target only
    // once complete: a failure leaves the target as it was.
    Result<Io::Path> extractFile(const Io::Path& target, const Io::Path& source, uint32_t flags);
    // A pack that fails its checks throws and is not added.
    void addPackFile(const Io::Path& packFile);
    // The same; the file is also deleted when the environment ends.
    void addTemporaryPackFile(const Io::Path& packFile);
    // A folder removed when the environment ends, after the temporary files that it may hold; one
    // still holding something else stays.
    void addTemporaryFolder(const Io::Path& folder);
    Array<String> listFiles(const Io::Path& folder, bool recursive, const Array<String>& extensions);

    bool hasTemporaryFiles() const { return !mTemporaryFiles.isEmpty(); }
    // Failures are silent: a file that cannot be removed stays.
    void deleteTemporaryFiles();

private:
    void addPack(SharedPtr<PackFileVfs> pack);
    // What readFile and then writing the bytes to target would do, without holding the file.
    void writeContent(const Io::Path& source, const Io::Path& target);

    Array<Io::Path> mTemporaryFiles;
    Array<Io::Path> mTemporaryPackFiles;
    Array<Io::Path> mTemporaryFolders;
    UniquePtr<Io::CombinedVfs> mFileSystem;
    // The file system's members, in its order.
    Array<SharedPtr<PackFileVfs>> mPacks;
};

} // namespace Tarvio
