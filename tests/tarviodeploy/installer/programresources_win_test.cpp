// The built programs' own resources: the application manifest that Windows reads before the
// program runs, and the version resource that the elevation prompt and Explorer show.

#include "tarviodeploy/installer/plugindescriptor3dsmax.h"
#include "tarviolib/winapi/scopedhandle.h"
#include "tarviolib/xml/xmlreadernode.h"
#include "tests/support/deploymenttesting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using Testing::utf8Text;

// The product and its testing build, found relative to the test's working folder.
const wchar_t* const programs[] = {TARVIO_INSTALLER_EXE, TARVIO_INSTALLER_TESTING_EXE};

std::wstring fileName(const std::wstring& path) { return path.substr(path.find_last_of(L"/\\") + 1); }

std::wstring lowercase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// A program's image, mapped as data: its resources are read without running it.
class ProgramImage {
public:
    explicit ProgramImage(const wchar_t* path)
        : mModule(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramImage() {
        if (mModule != nullptr) {
            FreeLibrary(mModule);
        }
    }
    ProgramImage(const ProgramImage&) = delete;
    ProgramImage& operator=(const ProgramImage&) = delete;

    HMODULE module() const { return mModule; }

    // The integer names of the image's resources of this type.
    std::vector<uintptr_t> resourceIds(const wchar_t* type) const {
        std::vector<uintptr_t> ids;
        EnumResourceNamesW(mModule, type, addId, reinterpret_cast<LONG_PTR>(&ids));
        return ids;
    }

    std::string resource(uintptr_t id, const wchar_t* type) const {
        HRSRC found = FindResourceW(mModule, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) {
            return std::string();
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(mModule, found)));
        return std::string(data, SizeofResource(mModule, found));
    }

private:
    // A name that is text counts as 0.
    static BOOL CALLBACK addId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
        reinterpret_cast<std::vector<uintptr_t>*>(ids)->push_back(IS_INTRESOURCE(name) ? reinterpret_cast<uintptr_t>(name) : 0);
        return TRUE;
    }

    HMODULE mModule;
};

// The elements at the end of a path of element names, from the document's root element down.
void findElements(const XmlReaderNode& node, const std::vector<std::string>& path, size_t depth,
                  std::vector<const XmlReaderNode*>& found) {
    if (utf8Text(node.name()) != path[depth]) {
        return;
    }
    if (depth + 1 == path.size()) {
        found.push_back(&node);
        return;
    }
    node.forEachChild([&](const XmlReaderNode& child) { findElements(child, path, depth + 1, found); });
}

std::vector<const XmlReaderNode*> elements(const XmlReaderNode& document, const std::vector<std::string>& path) {
    std::vector<const XmlReaderNode*> found;
    document.forEachChild([&](const XmlReaderNode& root) { findElements(root, path, 0, found); });
    return found;
}

void collectNames(const XmlReaderNode& node, std::set<std::string>& names) {
    names.insert(utf8Text(node.name()));
    node.forEachChild([&](const XmlReaderNode& child) { collectNames(child, names); });
}

std::string attribute(const XmlReaderNode& element, const char* name) {
    String value;
    return element.attribute(name, value) ? utf8Text(value) : "(none)";
}

TEST(ProgramResourcesTest, EachProgramCarriesOneManifestThatRunsItAsInvokerWithCommonControls6) {
    for (const wchar_t* program : programs) {
        SCOPED_TRACE(utf8Text(program));
        const ProgramImage image(program);
        ASSERT_NE(image.module(), nullptr);
        // Resource 1 is the manifest Windows reads when it creates the process; a second one (the
        // toolkit's own, say) would make the image faulty.
        ASSERT_EQ(image.resourceIds(RT_MANIFEST), std::vector<uintptr_t>{1});
        const XmlReaderNode document(String::fromUtf8(image.resource(1, RT_MANIFEST).c_str()));
        ASSERT_TRUE(document.isValid());

        const std::vector<const XmlReaderNode*> levels = elements(
            document, {"assembly", "trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"});
        ASSERT_EQ(levels.size(), 1u);
        EXPECT_EQ(attribute(*levels[0], "level"), "asInvoker");
        EXPECT_EQ(attribute(*levels[0], "uiAccess"), "false");

        const std::vector<const XmlReaderNode*> dependencies =
            elements(document, {"assembly", "dependency", "dependentAssembly", "assemblyIdentity"});
        ASSERT_EQ(dependencies.size(), 1u);
        EXPECT_EQ(attribute(*dependencies[0], "type"), "win32");
        EXPECT_EQ(attribute(*dependencies[0], "name"), "Microsoft.Windows.Common-Controls");
        EXPECT_EQ(attribute(*dependencies[0], "version"), "6.0.0.0");
        EXPECT_EQ(attribute(*dependencies[0], "publicKeyToken"), "6595b64144ccf1df");

        std::set<std::string> systems;
        for (const XmlReaderNode* system : elements(document, {"assembly", "compatibility", "application", "supportedOS"})) {
            systems.insert(attribute(*system, "Id"));
        }
        EXPECT_EQ(systems, (std::set<std::string>{
                               "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
                               "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
                               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
                           }));

        // No DPI awareness: Windows 8.1 and later scale the 96-DPI layout.
        std::set<std::string> names;
        document.forEachChild([&](const XmlReaderNode& root) { collectNames(root, names); });
        EXPECT_EQ(names.count("dpiAware") + names.count("dpiAwareness"), 0u);
    }
}

// The paths of the DLLs a program loads when it runs with these arguments, in the order it loads
// them: the program runs under the debugging interface, which is told of each load. Its standard
// streams go to NUL.
std::vector<std::wstring> loadedLibraries(const wchar_t* program, const std::wstring& arguments) {
    std::vector<std::wstring> files;
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const WinApi::FileHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             &inheritable, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(nul);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    PROCESS_INFORMATION started = {};
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" " + arguments;
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &startup, &started)) {
        ADD_FAILURE() << "CreateProcessW: " << GetLastError();
        return files;
    }
    const WinApi::KernelHandle process(started.hProcess);
    const WinApi::KernelHandle thread(started.hThread);
    // The event's image name is the address, in the program, of the address of the path under which
    // its loader knows the library (its file handle can name another file: under Wine, the built-in
    // library's own). The first libraries can come without one.
    auto remember = [&files, &process](const LOAD_DLL_DEBUG_INFO& library) {
        const WinApi::KernelHandle file(library.hFile);
        const wchar_t* name = nullptr;
        if (library.lpImageName == nullptr || !library.fUnicode ||
            !ReadProcessMemory(process.get(), library.lpImageName, &name, sizeof(name), nullptr)) {
            return;
        }
        // One unit at a time: a block read across the string's end could reach unmapped memory.
        std::wstring path;
        for (wchar_t unit = 0; name != nullptr && ReadProcessMemory(process.get(), name, &unit, sizeof(unit), nullptr) &&
                               unit != 0 && path.size() < 32768;
             ++name) {
            path += unit;
        }
        if (!path.empty()) {
            files.push_back(path);
        }
    };
    const ULONGLONG deadline = GetTickCount64() + 60000;
    for (bool running = true; running;) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 1000)) {
            if (GetTickCount64() > deadline) {
                ADD_FAILURE() << "the program did not end within 60 s";
                TerminateProcess(process.get(), 1);
            }
            continue;
        }
        DWORD answer = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT: {
            const WinApi::KernelHandle image(event.u.CreateProcessInfo.hFile);
            break;
        }
        case LOAD_DLL_DEBUG_EVENT:
            remember(event.u.LoadDll);
            break;
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoints are the debugger's; everything else is the program's own.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT &&
                event.u.Exception.ExceptionRecord.ExceptionCode != 0x4000001F) {
                answer = DBG_EXCEPTION_NOT_HANDLED;
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            running = false;
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
    }
    return files;
}

// The manifest is what Windows builds the process's activation context from: the running program's
// common controls are version 6's, from the side-by-side store, not the system folder's version 5.
TEST(ProgramResourcesTest, TheRunningProductsCommonControlsAreVersion6) {
    const std::vector<std::wstring> files = loadedLibraries(TARVIO_INSTALLER_EXE, L"--help");
    std::vector<std::wstring> controls;
    for (const std::wstring& file : files) {
        if (lowercase(fileName(file)) == L"comctl32.dll") {
            controls.push_back(lowercase(file));
        }
    }
    ASSERT_EQ(controls.size(), 1u) << files.size() << " libraries loaded";
    // The side-by-side store names an assembly by the architecture of the program that loads it.
#if defined(_WIN64)
    const wchar_t* const assembly = L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#else
    const wchar_t* const assembly = L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#endif
    EXPECT_NE(controls[0].find(assembly),
              std::wstring::npos)
        << utf8Text(controls[0].c_str());
}

// The version resource as the shell reads it: fixed numbers and the U.S. English strings.
class VersionResource {
public:
    explicit VersionResource(const wchar_t* path) {
        DWORD ignored = 0;
        mData.resize(GetFileVersionInfoSizeW(path, &ignored));
        if (!mData.empty() && !GetFileVersionInfoW(path, 0, static_cast<DWORD>(mData.size()), mData.data())) {
            mData.clear();
        }
    }

    bool isValid() const { return !mData.empty(); }

    const VS_FIXEDFILEINFO* fixed() const {
        return static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    }

    std::string string(const wchar_t* name) const {
        const void* text = query(L"\\StringFileInfo\\040904B0\\" + std::wstring(name));
        return text == nullptr ? "(none)" : utf8Text(static_cast<const wchar_t*>(text));
    }

    // The translations, each as language << 16 | code page.
    std::vector<uint32_t> translations() const {
        std::vector<uint32_t> found;
        UINT size = 0;
        const WORD* pairs = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", &size));
        for (UINT i = 0; pairs != nullptr && i + 1 < size / sizeof(WORD); i += 2) {
            found.push_back(uint32_t{pairs[i]} << 16 | pairs[i + 1]);
        }
        return found;
    }

private:
    const void* query(const std::wstring& path, UINT* size = nullptr) const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(mData.data(), path.c_str(), &value, &length) || length == 0) {
            return nullptr;
        }
        if (size != nullptr) {
            *size = length;
        }
        return value;
    }

    std::vector<uint8_t> mData;
};

TEST(ProgramResourcesTest, EachProgramsVersionResourceHoldsTheDescriptorsNameAndVersion) {
    const PluginDescriptor3dsMax descriptor;
    const std::string name = utf8Text(descriptor.name());
    const std::string version = utf8Text(descriptor.version());
    for (const wchar_t* program : programs) {
        SCOPED_TRACE(utf8Text(program));
        const VersionResource resource(program);
        ASSERT_TRUE(resource.isValid());
        const VS_FIXEDFILEINFO* fixed = resource.fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        // The descriptor's version is a major version alone: major.0.0.0.
        const DWORD major = static_cast<DWORD>(std::stoul(version)) << 16;
        EXPECT_EQ(fixed->dwFileVersionMS, major);
        EXPECT_EQ(fixed->dwFileVersionLS, 0u);
        EXPECT_EQ(fixed->dwProductVersionMS, major);
        EXPECT_EQ(fixed->dwProductVersionLS, 0u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        EXPECT_EQ(resource.translations(), std::vector<uint32_t>{0x040904B0});
        EXPECT_EQ(resource.string(L"FileDescription"), name);
        EXPECT_EQ(resource.string(L"ProductName"), name);
        EXPECT_EQ(resource.string(L"CompanyName"), "Kelvane");
        EXPECT_EQ(resource.string(L"FileVersion"), version);
        EXPECT_EQ(resource.string(L"ProductVersion"), version);
        EXPECT_EQ(resource.string(L"OriginalFilename"), utf8Text(fileName(program).c_str()));
    }
}

} // namespace
} // namespace Tarvio
