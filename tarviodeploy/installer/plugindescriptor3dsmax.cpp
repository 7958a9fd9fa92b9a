#include "tarviodeploy/installer/plugindescriptor3dsmax.h"

#include "tarviodeploy/installer/maxversion.h"
#include "tarviodeploy/installer/plugin3dsmaxcomponent.h"
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
