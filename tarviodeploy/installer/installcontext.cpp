#include "tarviodeploy/installer/installcontext.h"

#include "tarviodeploy/installer/additionalinstallerdata.h"
#include "tarviodeploy/shared/databasefilesystemrecorder.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/outofmemory.h"
#include "tarviolib/http/httpinputstream.h"
#include "tarviolib/io/filestream.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/relativepath.h"
#include "tarviolib/winapi/knownfolders.h"

#include <windows.h>

namespace Tarvio {

namespace Registry = WinApi::Registry;

namespace {

constexpr uint32_t DownloadTimeout = 60000;

template <typename T>
T valueOrThrow(const Result<T>& result) {
    if (!result.ok()) {
        throwException(result.error());
    }
    return result.value();
}

} // namespace

static_assert(InstallFileFlags::Temporary == static_cast<uint32_t>(ExtractFlags::Temporary),
              "the environment remembers temporary files by the same bit");

InstallContext::InstallContext(InstallerLogger* logger, DeploymentEnvironment* environment, Database* database,
                               int32_t productId, const String& version)
    : mLogger(logger),
      mProgress(makeUnique<ProgressContext>(logger)),
      mEnvironment(environment),
      mRegistryRecorder(makeShared<DatabaseRegistryRecorder>(database)),
      mBaseUrl(additionalDataBaseUrl(productId, version)) {
    Registry::addObserver(mRegistryRecorder);
}

InstallContext::~InstallContext() = default;

void InstallContext::beginComponent(const String& name, const Io::Path& directory,
                                    const SharedPtr<DatabaseComponentEntry>& entry) {
    mComponentName = name;
    mComponentDirectory = directory;
    mCurrentEntry = entry;
    mProgress->reset();
    mProgress->beginStep("Installing " + name);
    mRegistryRecorder->setEntry(entry);
}

OperationResult InstallContext::componentResult() {
    const OperationResult status = mProgress->status();
    mProgress->endStep();
    mProgress->reset();
    // From here registry changes belong to the run, not to the component just closed.
    mRegistryRecorder->setEntry(nullptr);
    return status;
}

bool InstallContext::downloadAdditionalData(const String& fileName) {
    try {
        const Io::Path localFile(fileName);
        if (Io::isFile(localFile)) {
            info("Using local file " + fileName + " instead of downloading the file from web.");
            mEnvironment->addPackFile(localFile);
            return true;
        }
        const UniquePtr<HttpInputStream> download = HttpInputStream::get(mBaseUrl + fileName, DownloadTimeout);
        const Io::Path folder = valueOrThrow(mDownloadFolder ? *mDownloadFolder : Io::temporaryDirectory());
        const Io::Path file = valueOrThrow(Io::createRandomNamedFile(folder));
        try {
            const Optional<int64_t> total = download->contentLength();
            if (mLogger->isGui()) {
                info(downloadProgressText(0, total));
            } else {
                info("Downloading additional installer data " + (total ? formatByteSize(*total) : String()));
            }
            Io::copyStreamToFile(*download, file, [&](int64_t copied) {
                mProgress->updateProgress(downloadProgressText(copied, total));
            });
            mEnvironment->addTemporaryPackFile(file);
        } catch (...) {
            // Neither a cancelled nor a refused download may stay behind in the temporary folder.
            if (Io::isFile(file)) {
                Io::removeFile(file);
            }
            throw;
        }
        return true;
    } catch (const Exception& exception) {
        error("Failed to download additional installer data (" + fileName + "): " + exceptionMessage(exception));
    } catch (...) {
        rethrowOutOfMemory();
        error("Failed to download additional installer data (" + fileName + "): Unknown error");
    }
    return false;
}

Result<String> InstallContext::remoteVersion(const String& fileName) {
    try {
        if (Io::isFile(Io::Path(fileName))) {
            return Result<String>::fromError("Using local file override, the version is not known.");
        }
        const Optional<String> etag = HttpInputStream::get(mBaseUrl + fileName, DownloadTimeout)->etag();
        if (!etag) {
            throwException(L"bad_optional_access");
        }
        return etag.value();
    } catch (const Exception& exception) {
        return Result<String>::fromError(exceptionMessage(exception));
    } catch (...) {
        rethrowOutOfMemory();
        return Result<String>::fromError("Unknown error.");
    }
}

Io::Path InstallContext::underComponent(const Io::Path& path) const {
    return path.isAbsolute() ? path : mComponentDirectory / path;
}

void InstallContext::recordFile(const Io::Path& path) {
    if (mCurrentEntry) {
        mCurrentEntry->addFile(underComponent(path));
    }
}

Result<Io::Path> InstallContext::refuseOutsideComponent(const Io::Path& destination) {
    const String text = "Failed to install file " + underComponent(destination).toNative() +
                        ": the name leads outside the folder " + mComponentDirectory.toNative();
    error(text);
    return Result<Io::Path>::fromError(text);
}

Result<Io::Path> InstallContext::installFile(const Io::Path& destination, const Io::Path& source, uint32_t flags) {
    // The packs' names are checked when they are opened; this keeps a name from anywhere else out
    // too. An absolute destination is the component's own choice.
    if (!destination.isAbsolute() && !Io::isContainedRelativePath(destination.text())) {
        return refuseOutsideComponent(destination);
    }
    const Io::Path target = underComponent(destination).absolute();
    // Registered for this one extraction: the folders it creates belong to the component.
    SharedPtr<DatabaseFileSystemRecorder> recorder = makeShared<DatabaseFileSystemRecorder>(mCurrentEntry);
    Io::addFileSystemObserver(recorder);
    Result<Io::Path> extracted = mEnvironment->extractFile(target, source, flags);
    if (!extracted.ok()) {
        error(extracted.error());
    }
    // Recorded even when the extraction failed: a later removal then takes away whatever is there.
    if (mCurrentEntry && (flags & (InstallFileFlags::Temporary | InstallFileFlags::NotRecorded)) == 0) {
        mCurrentEntry->addFile(target);
    }
    recorder.reset();
    return extracted;
}

void InstallContext::installDirectory(const Io::Path& destination, const Io::Path& sourceDirectory, uint32_t flags) {
    // The payload lists nothing under a folder named with a trailing "/".
    String folder = sourceDirectory.text();
    if (folder.size() > 1 && folder[folder.size() - 1] == L'/') {
        folder.erase(folder.size() - 1, 1);
    }
    const int32_t prefixSize = folder.isEmpty() ? 0 : folder.size() + 1;
    for (const String& file : mEnvironment->listFiles(folder, true, {})) {
        const String name = file.substr(prefixSize);
        if (Io::isContainedRelativePath(name)) {
            installFile(destination / name, file, flags);
        } else {
            refuseOutsideComponent(destination / name);
        }
    }
}

bool InstallContext::installRendererLibraries(const Io::Path& directory) {
    static const struct {
        const wchar_t* name;
        const wchar_t* payloadFolder;
    } libraries[] = {
        {L"wxmsw310u_vc_tarvio_v141.dll", L"dependencies"},
        {L"TarvioOpenExr2-v141-x64-Release.dll", L"dependencies"},
        {L"Tarviotbb-v141-x64-Release.dll", L"dependencies"},
        {L"Tarvio_Release.dll", L""},
        {L"TarvioLib_Release.dll", L""},
    };
    bool allInstalled = true;
    for (const auto& library : libraries) {
        allInstalled &= installFile(directory / library.name, Io::Path(library.payloadFolder) / library.name, 0).ok();
    }
    return allInstalled;
}

bool InstallContext::writeRegistryValue(const String& keyPath, const String& valueName,
                                        const Function<bool(const Registry::Key&)>& write) {
    Optional<Registry::Key> key = Registry::openKey(keyPath, KEY_SET_VALUE);
    if (!key) {
        key = Registry::createKey(keyPath);
    }
    if (!key) {
        return false;
    }
    if (!write(*key)) {
        error("Failed to write registry value " + valueName + " to key " + keyPath);
        return false;
    }
    return true;
}

bool InstallContext::writeRegistryDword(const String& keyPath, const String& valueName, uint32_t value) {
    return writeRegistryValue(keyPath, valueName,
                              [&](const Registry::Key& key) { return key.writeDword(valueName, value); });
}

bool InstallContext::writeRegistryPath(const String& keyPath, const String& valueName, const Io::Path& value) {
    return writeRegistryString(keyPath, valueName, value.toNative());
}

bool InstallContext::writeRegistryString(const String& keyPath, const String& valueName, const String& value) {
    return writeRegistryValue(keyPath, valueName,
                              [&](const Registry::Key& key) { return key.writeString(valueName, value); });
}

void InstallContext::info(const String& text) {
    mProgress->info(text);
}

void InstallContext::warning(const String& text) {
    mSeverity = worse(mSeverity, OperationResult::Warnings);
    mProgress->warning(text);
}

void InstallContext::error(const String& text) {
    mSeverity = OperationResult::Failed;
    mProgress->error(text);
}

} // namespace Tarvio
