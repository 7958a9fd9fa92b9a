#include "tarviodeploy/installer/installer.h"

#include "tarviodeploy/installer/installationreport.h"
#include "tarviodeploy/installer/productidentity.h"
#include "tarviodeploy/installer/uninstallentry.h"
#include "tarviodeploy/installer/vsredistributablescomponent.h"
#include "tarviodeploy/shared/progresscontext.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/winapi/administratorsfolder.h"
#include "tarviolib/winapi/knownfolders.h"
#include "tarviolib/winapi/registry.h"

namespace Tarvio {

namespace {

const wchar_t* const ProductKeyPath = L"HKEY_LOCAL_MACHINE\\Software\\TarvioRenderer";

} // namespace

Installer::Installer(PluginDescriptor* descriptor, DeploymentEnvironment* environment, DeploymentUserInterface* ui)
    : DeployBase(descriptor, environment, ui), mUnpackDirectory(Io::Path(L"Tarvio Renderer").absolute()) {
    UniquePtr<VsRedistributablesComponent> redistributables = makeUnique<VsRedistributablesComponent>();
    mRedistributables = redistributables.get();
    addUncategorizedComponent(std::move(redistributables));
}

OperationResult Installer::run(InstallerLogger& logger) {
    installThirdPartyLicenses();
    return mInstallType == InstallType::Unpack ? unpackAll(logger) : install(logger);
}

OperationResult Installer::runGui(InstallerLogger& logger) {
    const OperationResult result = run(logger);
    if (environment().hasTemporaryFiles()) {
        ProgressContext progress(&logger);
        const ProgressContext::Step step(progress, L"Removing all extracted temporary files");
        environment().deleteTemporaryFiles();
    }
    logger.log(L"Installation has been finished", LogLevel::Info);
    return result;
}

void Installer::installThirdPartyLicenses() {
    const bool unpack = mInstallType == InstallType::Unpack;
    const Io::Path target = (unpack ? mUnpackDirectory : installRoot()) / "3rd-party-licenses.txt";
    // Not having the notices is no reason to stop, and nothing is said about it.
    environment().extractFile(target, Io::Path(L"3rd-party-licenses.txt"), 0);
    if (!unpack) {
        database().addFile(target);
    }
}

OperationResult Installer::install(InstallerLogger& logger) {
    InstallContext context(&logger, &environment(), &database(), descriptor().productId(), descriptor().version());
    const Optional<WinApi::Registry::Key> productKey = WinApi::Registry::createKey(ProductKeyPath);
    if (!productKey.hasValue()) {
        context.warning(L"Failed to create global Tarvio registry key. Some features may not work correctly.");
    }
    installUninstaller(context);
    WinApi::Registry::writeString(ProductKeyPath, L"Referral", toString(descriptor().referral()));

    for (Optional<PrerequisiteIssues> issues = collectPrerequisiteIssues(); issues.hasValue();
         issues = collectPrerequisiteIssues()) {
        const UserResponse answer = askAboutPrerequisites(issues.value());
        if (answer == UserResponse::Ignore) {
            context.warning(L"Ignoring running applications...");
            break;
        }
        if (answer == UserResponse::Abort) {
            context.error(L"Installation aborted due to some running applications.");
            return context.severity();
        }
    }

    // The run is elevated: what it runs or reads back after writing it goes where the user's
    // unelevated programs cannot replace it in between.
    const Result<Io::Path> temporaryFolder = Io::temporaryDirectory();
    const Result<Io::Path> privateFolder = temporaryFolder.ok()
                                               ? WinApi::createAdministratorsOnlyFolder(temporaryFolder.value())
                                               : temporaryFolder;
    if (privateFolder.ok()) {
        environment().addTemporaryFolder(privateFolder.value());
    }
    context.setDownloadFolder(privateFolder);
    mRedistributables->setRunFolder(privateFolder);

    installComponents(context, logger);
    writeDatabase(logger);
    sendInstallationReport();
    return context.severity();
}

OperationResult Installer::installUninstaller(InstallContext& context) {
    const Io::Path root = installRoot();
    context.beginComponent(L"Uninstaller", root, SharedPtr<DatabaseComponentEntry>());
    const Result<Io::Path> installed =
        context.installFile(Io::Path("Remove" + descriptor().id() + ".exe"), Io::Path(L"Uninstaller_Release.exe"), 0);
    // Without the installed file the entry still points where the uninstaller belongs, so that the
    // product shows in the list of programs and a repaired installation completes it.
    const Io::Path uninstaller = installed.ok() ? installed.value() : root / ("Remove" + descriptor().id() + ".exe");
    UninstallEntry entry;
    entry.publisher = TARVIO_MAKER_NAME;
    entry.displayName = descriptor().name();
    entry.displayVersion = Optional<String>(descriptor().version());
    entry.displayIcon = uninstaller;
    entry.installLocation = root;
    entry.uninstallerPath = uninstaller.toNative();
    entry.noModify = true;
    entry.noRepair = true;
    entry.noRemove = false;
    writeUninstallEntry(entry, descriptor().id());
    return context.componentResult();
}

Optional<PrerequisiteIssues> Installer::collectPrerequisiteIssues() const {
    PrerequisiteIssues merged;
    bool any = false;
    for (const SharedPtr<Component>& component : components()) {
        if (!component->selected()) {
            continue;
        }
        for (const PrerequisiteIssues::Entry& issue : component->checkPrerequisites()) {
            any = true;
            Array<String>& texts = merged[issue.key];
            for (const String& text : issue.value) {
                bool known = false;
                for (const String& existing : texts) {
                    known = known || existing == text;
                }
                if (!known) {
                    texts.append(text);
                }
            }
        }
    }
    return any ? Optional<PrerequisiteIssues>(std::move(merged)) : Optional<PrerequisiteIssues>();
}

void Installer::sendInstallationReport() const {
    Array<String> ids;
    for (const SharedPtr<Component>& component : components()) {
        if (component->selected()) {
            ids.append(component->id());
        }
    }
    InstallationReport report(descriptor().referral(), descriptor().id());
    report.add(L"version", descriptor().version());
    report.add(L"components", join(ids, L";", L";"));
    report.send();
}

String Installer::componentVersion(Component& component, IInstallContext& context) const {
    return component.version(context).valueOr(descriptor().version());
}

void Installer::installComponents(InstallContext& context, InstallerLogger& logger) {
    for (const SharedPtr<Component>& component : components()) {
        if (!component->selected()) {
            continue;
        }
        Array<String> savedTags;
        if (component->isTracked()) {
            const Optional<SharedPtr<DatabaseComponentEntry>> entry = database().find(component->id());
            if (entry.hasValue()) {
                savedTags = entry.value()->tags();
                const String current = componentVersion(*component, context);
                const String& stored = entry.value()->version();
                if (entry.value()->corrupted()) {
                    logger.log("Component " + component->name() + " was installed but corrupted, reinstalling...\n",
                               LogLevel::Info);
                } else if (!current.isEmpty() && !stored.isEmpty() && current == stored) {
                    logger.log("Component " + component->name() + " is already installed in current version, skipping.\n",
                               LogLevel::Info);
                    continue;
                }
            }
        }
        // What the component needs from outside the payload comes first: without it the previous
        // installation is better than none.
        if (!component->prepareInstall(context)) {
            logger.log("Component " + component->name() + " was not installed; its previous installation stays.\n",
                       LogLevel::Info);
            continue;
        }
        releaseComponentForReinstall(logger, *component);
        installComponent(context, *component);
        if (component->isTracked()) {
            const Optional<SharedPtr<DatabaseComponentEntry>> entry = database().find(component->id());
            if (entry.hasValue()) {
                entry.value()->addTags(savedTags);
            }
        }
    }
}

void Installer::installComponent(InstallContext& context, Component& component) {
    SharedPtr<DatabaseComponentEntry> entry;
    if (component.isTracked()) {
        entry = database().createComponent(component.id(), component.name(), componentVersion(component, context));
    }
    const Io::Path& directory = component.targetDirectory();
    context.beginComponent(component.name(), directory, entry);
    if (directory.isEmpty()) {
        context.error(L"No installation path selected for this component. This may be caused by selecting plugins "
                      L"for software that was not detected on this system.");
    } else if (!directory.isAbsolute()) {
        // A typed folder such as "Tarvio" would otherwise land wherever the program happens to run.
        context.error(L"The installation path \"" + directory.toNative() +
                      L"\" of this component is not a full path. Choose a full path, such as C:\\Program "
                      L"Files\\Tarvio.");
    } else {
        component.install(context);
        if (entry) {
            entry->addTag(descriptor().id());
        }
    }
    const OperationResult result = context.componentResult();
    if (entry) {
        entry->setCorrupted(result == OperationResult::Failed);
    }
}

OperationResult Installer::unpackAll(InstallerLogger& logger) {
    logger.log(L"All components will just be unpacked\n", LogLevel::Info);
    environment().extractFile(mUnpackDirectory / "readme.txt", Io::Path(L"unpack-readme.txt"), 0);
    InstallContext context(&logger, &environment(), &database(), descriptor().productId(), descriptor().version());
    for (const SharedPtr<Component>& component : components()) {
        context.beginComponent(component->name(), mUnpackDirectory / component->name(),
                               SharedPtr<DatabaseComponentEntry>());
        component->unpack(context);
        context.componentResult();
    }
    openInShell(mUnpackDirectory);
    return context.severity();
}

} // namespace Tarvio
