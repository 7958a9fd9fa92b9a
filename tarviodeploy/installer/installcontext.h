#pragma once

#include "tarviodeploy/installer/iinstallcontext.h"
#include "tarviodeploy/shared/database.h"
#include "tarviodeploy/shared/databasecomponententry.h"
#include "tarviodeploy/shared/databaseregistryrecorder.h"
#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/operationresult.h"
#include "tarviodeploy/shared/progresscontext.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/function.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/sharedptr.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/io/path.h"
#include "tarviolib/winapi/registry.h"

#include <cstdint>

namespace Tarvio {

// The components' services for one run, an installation or an unpack, and the place where what
// they install is recorded: while the context lives, every registry key created and value written
// anywhere in the process goes into the entry of the component being installed (between
// beginComponent and componentResult) or into the database's global list; every file installed
// through the context, and every folder created meanwhile, goes into the component's entry.
// Deletions are never recorded.
class InstallContext : public IInstallContext {
public:
    // Neither the logger, the environment nor the database (which may be null) is owned. The
    // product number and version locate the additional installer data.
    InstallContext(InstallerLogger* logger, DeploymentEnvironment* environment, Database* database,
                   int32_t productId, const String& version);
    ~InstallContext() override;
    InstallContext(const InstallContext&) = delete;
    InstallContext& operator=(const InstallContext&) = delete;

    // Opens the step "Installing " + name; entry (may be empty) receives the records until
    // componentResult.
    void beginComponent(const String& name, const Io::Path& directory, const SharedPtr<DatabaseComponentEntry>& entry);
    // Closes the step and answers the worst report since beginComponent.
    OperationResult componentResult();
    // The worst report of the whole run.
    OperationResult severity() const { return mSeverity; }
    // Where downloaded data is saved before it is read; the temporary folder unless set. A failed
    // folder fails every download with its error.
    void setDownloadFolder(const Result<Io::Path>& folder) { mDownloadFolder = folder; }

    bool downloadAdditionalData(const String& fileName) override;
    Result<String> remoteVersion(const String& fileName) override;
    const Io::Path& targetDirectory() const override { return mComponentDirectory; }
    void recordFile(const Io::Path& path) override;
    Result<Io::Path> installFile(const Io::Path& destination, const Io::Path& source, uint32_t flags) override;
    void installDirectory(const Io::Path& destination, const Io::Path& sourceDirectory, uint32_t flags) override;
    bool installRendererLibraries(const Io::Path& directory) override;
    bool writeRegistryDword(const String& keyPath, const String& valueName, uint32_t value) override;
    bool writeRegistryPath(const String& keyPath, const String& valueName, const Io::Path& value) override;
    bool writeRegistryString(const String& keyPath, const String& valueName, const String& value) override;
    void info(const String& text) override;
    void warning(const String& text) override;
    void error(const String& text) override;

private:
    // Absolute paths unchanged, relative ones under the component's folder.
    Io::Path underComponent(const Io::Path& path) const;
    // Reports the file as failed and answers that failure.
    Result<Io::Path> refuseOutsideComponent(const Io::Path& destination);
    bool writeRegistryValue(const String& keyPath, const String& valueName,
                            const Function<bool(const WinApi::Registry::Key&)>& write);

    String mComponentName;
    Io::Path mComponentDirectory;
    InstallerLogger* mLogger;
    UniquePtr<ProgressContext> mProgress;
    DeploymentEnvironment* mEnvironment;
    OperationResult mSeverity = OperationResult::Done;
    SharedPtr<DatabaseComponentEntry> mCurrentEntry;
    SharedPtr<DatabaseRegistryRecorder> mRegistryRecorder;
    String mBaseUrl;
    Optional<Result<Io::Path>> mDownloadFolder;
};

} // namespace Tarvio
