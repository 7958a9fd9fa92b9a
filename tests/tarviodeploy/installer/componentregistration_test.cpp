#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/maxversion.h"
#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tests/support/componenttesting.h"

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

using namespace Testing;

// The categories with their layouts and components, then the full list; each component as its id,
// with "*" when selected.
std::string describeRegistration(const Installer& installer) {
    auto item = [](const Component& component) {
        return " " + utf8Text(component.id()) + (component.selected() ? "*" : "");
    };
    std::string text;
    installer.forEachCategory(Function<void(ComponentCategory&)>([&](ComponentCategory& category) {
        text += utf8Text(category.name()) +
                (category.layout() == CategoryLayout::CheckBoxGrid ? " (grid):" : " (paths):");
        for (const SharedPtr<Component>& component : category.components()) {
            text += item(*component);
        }
        text += "\n";
    }));
    text += "all:";
    for (const SharedPtr<Component>& component : installer.components()) {
        text += item(*component);
    }
    return text;
}

// The seven 3ds Max components as described above, each selected when that version is registered
// on this machine (the project's prefix may hold the demo 3ds Max of scripts/run.sh).
std::string maxComponents() {
    std::string text;
    for (int32_t year = 2013; year <= 2019; ++year) {
        text += " Max" + std::to_string(year) + (findMaxInstallDirectory(year).hasValue() ? "*" : "");
    }
    return text;
}

TEST(ComponentRegistrationTest, OrderWithAndWithoutSse41) {
    const std::vector<uint8_t> pack = PackWriter::pack({});
    DeploymentEnvironment environment(pack.data(), static_cast<int32_t>(pack.size()));
    RecordingUserInterface ui;
    PluginDescriptor3dsMax descriptor;
    // Every version's component is there, selected only when detected.
    const struct {
        const wchar_t* system;
        std::string registration;
    } cases[] = {
        {L"", "3ds Max Plugins (grid):" + maxComponents() + "\n"
              "Additional Content (grid): MaterialLibrary*\n"
              "Support Tools (paths): DR Server* Licensing Server Standalone* Image Editor*\n"
              "all:" + maxComponents() + " MaterialLibrary* DR Server* "
              "Licensing Server Standalone* Image Editor* LUT bundle* IES bundle* Microsoft Dependencies*"},
        {L"no-sse41", "Support Tools (paths): Licensing Server\n"
                      "all: Licensing Server LUT bundle* IES bundle* Microsoft Dependencies*"},
    };
    for (const auto& test : cases) {
        SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", test.system);
        const Installer installer(&descriptor, &environment, &ui);
        EXPECT_EQ(describeRegistration(installer), test.registration) << utf8Text(test.system);
    }
    SetEnvironmentVariableW(L"TARVIO_TEST_SYSTEM", nullptr);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace Tarvio
