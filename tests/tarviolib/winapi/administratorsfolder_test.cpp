#include "tarviolib/winapi/administratorsfolder.h"

#include "tarviolib/winapi/knownfolders.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace Tarvio::WinApi {
namespace {

using Io::Testing::narrow;

std::vector<uint8_t> wellKnownSid(WELL_KNOWN_SID_TYPE type) {
    std::vector<uint8_t> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    EXPECT_TRUE(CreateWellKnownSid(type, nullptr, sid.data(), &size));
    sid.resize(size);
    return sid;
}

// The descriptor as built, before any folder has it: Wine keeps a folder's access list only as
// Unix permissions and answers with one of its own, so the folder itself cannot show it.
TEST(AdministratorsFolderTest, TheDescriptorLetsOnlyAdministratorsAndSystemInAndInheritsNothing) {
    const LocalMemory<void> descriptor = administratorsOnlyFolderDescriptor();
    EXPECT_EQ(narrow(securityDescriptorText(descriptor.get())), "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    ACL* dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present);
    ASSERT_NE(dacl, nullptr); // a null one would let everybody in
    EXPECT_FALSE(defaulted);
    ACL_SIZE_INFORMATION size = {};
    ASSERT_TRUE(GetAclInformation(dacl, &size, sizeof size, AclSizeInformation));
    ASSERT_EQ(size.AceCount, 2u);
    const WELL_KNOWN_SID_TYPE trustees[] = {WinBuiltinAdministratorsSid, WinLocalSystemSid};
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* entry = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &entry));
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
        EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << i;
        EXPECT_EQ(ace->Mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS)) << i;
        std::vector<uint8_t> trustee = wellKnownSid(trustees[i]);
        EXPECT_TRUE(EqualSid(const_cast<DWORD*>(&ace->SidStart), trustee.data())) << i;
    }
}

class AdministratorsFolderInParentTest : public testing::Test {
protected:
    AdministratorsFolderInParentTest() {
        mParent = Io::temporaryDirectory().value() /
                  ("tarvio-administratorsfolder-" + toString(static_cast<int32_t>(GetCurrentProcessId())));
        std::filesystem::remove_all(mParent.toNative().text());
        CreateDirectoryW(mParent.toNative().text(), nullptr);
    }
    ~AdministratorsFolderInParentTest() override { std::filesystem::remove_all(mParent.toNative().text()); }

    Io::Path mParent;
};

TEST_F(AdministratorsFolderInParentTest, EachCallMakesANewFolderThatTheElevatedProcessCanWriteIn) {
    const Result<Io::Path> first = createAdministratorsOnlyFolder(mParent);
    const Result<Io::Path> second = createAdministratorsOnlyFolder(mParent);
    ASSERT_TRUE(first.ok()) << narrow(first.error());
    ASSERT_TRUE(second.ok()) << narrow(second.error());
    EXPECT_NE(first.value(), second.value());
    for (const Io::Path& folder : {first.value(), second.value()}) {
        EXPECT_EQ(folder.parent(), mParent);
        const std::string name = narrow(folder.text().substr(folder.parent().text().size() + 1));
        EXPECT_EQ(name.size(), 7u + 36u) << name;
        EXPECT_EQ(name.substr(0, 7), "Tarvio-");
        const DWORD attributes = GetFileAttributesW(folder.toNative().text());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }
    const String file = (first.value() / "written.exe").toNative();
    const HANDLE handle = CreateFileW(file.text(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
}

TEST_F(AdministratorsFolderInParentTest, AFolderThatCannotBeMadeIsAnErrorNamingIt) {
    const Result<Io::Path> made = createAdministratorsOnlyFolder(mParent / "missing");
    ASSERT_FALSE(made.ok());
    const std::string error = narrow(made.error());
    const std::string expected = "Failed to create directory " + narrow((mParent / "missing").toNative()) + "\\Tarvio-";
    EXPECT_EQ(error.substr(0, expected.size()), expected);
}

} // namespace
} // namespace Tarvio::WinApi
