#include "tarviodeploy/installer/plugindescriptor3dsmax.h"

#include "tarviodeploy/installer/drservercomponent.h"
#include "tarviodeploy/installer/imageeditorcomponent.h"
#include "tarviodeploy/installer/licensingservercomponent.h"
#include "tarviodeploy/installer/materiallibrarycomponent.h"
#include "tarviodeploy/installer/maxversion.h"
#include "tarviodeploy/installer/plugin3dsmaxcomponent.h"
#include "tarviodeploy/installer/standalonecomponent.h"
#include "tarviodeploy/shared/componentregistrator.h"
#include "tarviodeploy/shared/sse41support.h"
#include "tarviolib/core/exception.h"

namespace Tarvio {

String PluginDescriptor3dsMax::description() const {
    return L"Install Tarvio plugins for all 3ds Max versions detected, plus Tarvio DR server, Tarvio Image Editor "
           L"and Tarvio Material Library.";
}

void PluginDescriptor3dsMax::registerComponents(ComponentRegistrator& registrator) const {
    if (!isSse41Supported()) {
        // The renderer and its programs need SSE4.1; of the side programs only the licensing server
        // runs without it.
        registrator.addCategory(L"Support Tools", CategoryLayout::CheckBoxesWithPaths);
        registrator.addComponent(makeUnique<LicensingServerComponent>());
        return;
    }
    registrator.addCategory(L"3ds Max Plugins", CategoryLayout::CheckBoxGrid);
    for (const EnumNameEntry& version : maxVersionNames) {
        const int32_t year = static_cast<int32_t>(version.value);
        UniquePtr<Plugin3dsMaxComponent> component(new Plugin3dsMaxComponent(year));
        const Optional<Io::Path> folder = findMaxInstallDirectory(year);
        if (folder.hasValue()) {
            component->setTargetDirectory(folder.value());
            component->setSelected(true);
        }
        registrator.addComponent(std::move(component));
    }
    registrator.addCategory(L"Additional Content", CategoryLayout::CheckBoxGrid);
    registrator.addComponent(makeUnique<MaterialLibraryComponent>());
    registrator.addCategory(L"Support Tools", CategoryLayout::CheckBoxesWithPaths);
    registrator.addComponent(makeUnique<DrServerComponent>());
    registrator.addComponent(makeUnique<LicensingServerComponent>());
    registrator.addComponent(makeUnique<StandaloneComponent>());
    registrator.addComponent(makeUnique<ImageEditorComponent>());
}

WinApi::FileResource PluginDescriptor3dsMax::payload() const {
    const Optional<WinApi::FileResource> resource = WinApi::loadFileResource(nullptr, L"IDR_PACK");
    if (!resource.hasValue()) {
        throwException("The installer's payload (resource IDR_PACK) is missing.");
    }
    return resource.value();
}

UniquePtr<PluginDescriptor> createPluginDescriptor() {
    return UniquePtr<PluginDescriptor>(new PluginDescriptor3dsMax());
}

} // namespace Tarvio
