#pragma once

// Helpers of the component tests: a payload made with the pack writer, installed through a real
// install context into a folder of the test's own, and the registry keys the components write,
// removed before and after each test.

#include "tarviodeploy/installer/installcontext.h"
#include "tarviodeploy/shared/component.h"
#include "tests/support/databasedescription.h"
#include "tests/support/deploymenttesting.h"
#include "tools/packwriter/packwriter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace Tarvio::Testing {

inline std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The demo content of a payload file: its own name, so a test sees which file landed where.
inline std::string payloadContent(const std::string& name) {
    return "payload " + name;
}

// Payload files whose content is payloadContent of their name.
inline std::vector<PackWriter::Record> payloadRecords(const std::vector<std::string>& names) {
    std::vector<PackWriter::Record> records;
    for (const std::string& name : names) {
        records.push_back(PackWriter::stored(name, bytesOf(payloadContent(name))));
    }
    return records;
}

inline const std::vector<std::string> rendererLibraries = {
    "dependencies/wxmsw310u_vc_tarvio_v141.dll", "dependencies/TarvioOpenExr2-v141-x64-Release.dll",
    "dependencies/Tarviotbb-v141-x64-Release.dll", "Tarvio_Release.dll", "TarvioLib_Release.dll"};

// The keys under HKEY_CURRENT_USER\Software\Classes (and, for the test's own, HKEY_LOCAL_MACHINE)
// of associations, deleted with their sub-keys when the guard is made and when it ends.
class AssociationKeys {
public:
    explicit AssociationKeys(std::vector<std::wstring> names) : mNames(std::move(names)) { remove(); }
    ~AssociationKeys() { remove(); }

private:
    void remove() const {
        for (const std::wstring& name : mNames) {
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
                // In the 64-bit view, like every access of the registry wrapper.
                const std::wstring path = L"Software\\Classes\\" + name;
                HKEY key = nullptr;
                if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
                    RegDeleteTreeW(key, nullptr);
                    RegCloseKey(key);
                }
                RegDeleteKeyExW(root, path.c_str(), KEY_WOW64_64KEY, 0);
            }
        }
    }

    std::vector<std::wstring> mNames;
};

// The associations of the standalone renderer and of the image editor.
inline std::vector<std::wstring> sideProgramAssociationKeys() {
    return {L".scn", L"TarvioStandalone.scn", L".kxr", L"TarvioImageEditor.kxr", L".kexr", L"TarvioImageEditor.kexr"};
}

// Ends every process with this executable name and waits until each has gone, so that its file can
// be deleted.
inline void endProcessesNamed(const wchar_t* executableName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, executableName) != 0) {
            continue;
        }
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

// The target and the description that the saved link holds.
inline std::string readLink(const Io::Path& link) {
    std::string text = "<unreadable>";
    CoInitialize(nullptr);
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t target[MAX_PATH] = {};
            wchar_t description[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(link.toNative().text(), STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, 0)) &&
                SUCCEEDED(shellLink->GetDescription(description, MAX_PATH))) {
                text = utf8Text(target) + " | " + utf8Text(description);
            }
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return text;
}

// A payload, an install context over it and a database, in a folder of the test's own.
class ComponentTest : public ::testing::Test {
protected:
    explicit ComponentTest(const std::vector<PackWriter::Record>& records)
        : mPack(PackWriter::pack(records)),
          mEnvironment(makeUnique<DeploymentEnvironment>(mPack.data(), static_cast<int32_t>(mPack.size()))),
          mContext(makeUnique<InstallContext>(&mLogger, mEnvironment.get(), &mDatabase, 2, L"2")) {}

    Io::Path folder() const { return mFolder.path() / "Component"; }
    std::string under(const std::string& relative) const { return utf8Text((folder() / relative.c_str()).text()); }

    // As the install flow does: a fresh entry of the component's id for a tracked component, the
    // component in the folder, and the step's result.
    OperationResult install(Component& component, const Io::Path& directory) {
        SharedPtr<DatabaseComponentEntry> entry;
        if (component.isTracked()) {
            entry = mDatabase.createComponent(component.id(), component.name(), L"2");
            entry->setCorrupted(false);
        }
        mContext->beginComponent(component.name(), directory, entry);
        component.install(*mContext);
        return mContext->componentResult();
    }

    OperationResult unpack(Component& component, const Io::Path& directory) {
        mContext->beginComponent(component.name(), directory, SharedPtr<DatabaseComponentEntry>());
        component.unpack(*mContext);
        return mContext->componentResult();
    }

    // The component's entry as text, or nothing when it has none.
    std::string entryOf(const Component& component) const {
        const Optional<SharedPtr<DatabaseComponentEntry>> entry = mDatabase.find(component.id());
        return entry ? describe(*entry.value(), "") : std::string();
    }

    TemporaryFolder mFolder{"components"};
    RecordingLogger mLogger;
    Database mDatabase;
    std::vector<uint8_t> mPack;
    UniquePtr<DeploymentEnvironment> mEnvironment;
    UniquePtr<InstallContext> mContext;
};

} // namespace Tarvio::Testing
