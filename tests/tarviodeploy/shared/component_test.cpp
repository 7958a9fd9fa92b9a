#include "tarviodeploy/shared/component.h"
#include "tarviodeploy/shared/componentcategory.h"
#include "tarviodeploy/installer/iinstallcontext.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

class PlainComponent : public Component {
public:
    String name() const override { return L"Plain"; }
    void unpack(IInstallContext&) override { ++unpacked; }

    int unpacked = 0;
};

class BlockedComponent : public PlainComponent {
public:
    PrerequisiteIssues checkPrerequisites() const override {
        PrerequisiteIssues answer;
        answer[PrerequisiteCategory::RunningApplication].append(L"Plain");
        return answer;
    }
};

// The defaults never use the context.
class UnusedContext : public IInstallContext {
public:
    bool downloadAdditionalData(const String&) override { return false; }
    Result<String> remoteVersion(const String&) override { return Result<String>::fromError("unused"); }
    const Io::Path& targetDirectory() const override { return mDirectory; }
    void recordFile(const Io::Path&) override {}
    Result<Io::Path> installFile(const Io::Path&, const Io::Path&, uint32_t) override {
        return Result<Io::Path>::fromError("unused");
    }
    void installDirectory(const Io::Path&, const Io::Path&, uint32_t) override {}
    bool installRendererLibraries(const Io::Path&) override { return false; }
    bool writeRegistryDword(const String&, const String&, uint32_t) override { return false; }
    bool writeRegistryPath(const String&, const String&, const Io::Path&) override { return false; }
    bool writeRegistryString(const String&, const String&, const String&) override { return false; }
    void info(const String&) override {}
    void warning(const String&) override {}
    void error(const String&) override {}

private:
    Io::Path mDirectory;
};

TEST(Component, DefaultsFollowTheName) {
    PlainComponent component;
    UnusedContext context;
    EXPECT_EQ(component.caption(), "Plain");
    EXPECT_EQ(component.id(), "Plain");
    EXPECT_TRUE(component.isTracked());
    EXPECT_FALSE(component.version(context).hasValue());
    EXPECT_TRUE(component.checkPrerequisites().isEmpty());
    EXPECT_TRUE(component.queryPrerequisites().isEmpty());
    EXPECT_TRUE(component.prepareInstall(context));
    EXPECT_FALSE(component.selected());
    EXPECT_TRUE(component.targetDirectory().isEmpty());
    component.removeLegacyInstallation();

    component.install(context);
    EXPECT_EQ(component.unpacked, 1);
}

TEST(Component, SecondPrerequisiteQueryAnswersAsTheFirst) {
    const BlockedComponent component;
    const PrerequisiteIssues answer = component.queryPrerequisites();
    ASSERT_EQ(answer.size(), 1);
    EXPECT_EQ(answer.begin()->key, PrerequisiteCategory::RunningApplication);
    ASSERT_EQ(answer.begin()->value.size(), 1);
    EXPECT_EQ(answer.begin()->value[0], "Plain");
}

TEST(ComponentCategory, CopiesShareTheComponentsInOrder) {
    ComponentCategory category(L"Support Tools", CategoryLayout::CheckBoxesWithPaths);
    const SharedPtr<PlainComponent> first = makeShared<PlainComponent>();
    const SharedPtr<BlockedComponent> second = makeShared<BlockedComponent>();
    category.addComponent(first);
    category.addComponent(second);

    const ComponentCategory copy = category;
    EXPECT_EQ(copy.name(), "Support Tools");
    EXPECT_EQ(copy.layout(), CategoryLayout::CheckBoxesWithPaths);
    int32_t index = 0;
    copy.forEachComponent([&](Component& component) {
        EXPECT_EQ(&component, index == 0 ? static_cast<Component*>(first.get()) : second.get());
        component.setSelected(true);
        component.setTargetDirectory(L"D:\\Tools");
        ++index;
    });
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(first->selected());
    EXPECT_EQ(second->targetDirectory().text(), "D:/Tools");
}

} // namespace
} // namespace Tarvio
