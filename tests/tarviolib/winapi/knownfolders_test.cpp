#include "tarviolib/winapi/knownfolders.h"

#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>

#include <ostream>

namespace Tarvio::Io {

void PrintTo(const Path& path, std::ostream* stream) {
    *stream << path.text();
}

namespace {

using Testing::ScopedEnvironmentVariable;

bool endsWith(const String& text, const String& end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The value or the error of a result, whichever it holds, so that a wrong one shows in the failure.
Path pathOf(const Result<Path>& result) {
    return result.ok() ? result.value() : Path(L"<failed: " + result.error() + L">");
}

String errorOf(const Result<Path>& result) {
    return result.ok() ? L"<succeeded: " + result.value().text() + L">" : result.error();
}

bool isEmptyFile(const Path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExW(path.toNative().text(), GetFileExInfoStandard, &data) &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && data.nFileSizeLow == 0 &&
           data.nFileSizeHigh == 0;
}

// A scratch folder with a blank in its name, removed with its files.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        mPath = Path(String(temp) + L"tarvio known folders");
        CreateDirectoryW(mPath.toNative().text(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found = {};
        const HANDLE search = FindFirstFileW((mPath / L"*.tmp").toNative().text(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((mPath / found.cFileName).toNative().text());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(mPath.toNative().text());
    }
    const Path& path() const { return mPath; }

private:
    Path mPath;
};

TEST(KnownFoldersTest, ProductFoldersLieUnderThe64BitProgramFiles) {
    const ScopedEnvironmentVariable programFiles(L"ProgramW6432", L"C:\\Program Files");
    EXPECT_EQ(pathOf(programFiles64Directory()), Path(L"C:/Program Files"));
    EXPECT_EQ(pathOf(lutDirectory()), Path(L"C:/Program Files/Tarvio/lut"));
    EXPECT_EQ(pathOf(iesDirectory()), Path(L"C:/Program Files/Tarvio/ies"));
    EXPECT_EQ(pathOf(materialsDirectory()), Path(L"C:/Program Files/Tarvio/materials"));
}

TEST(KnownFoldersTest, ProductFoldersFailWithoutTheVariable) {
    for (const wchar_t* value : {static_cast<const wchar_t*>(nullptr), L""}) {
        const ScopedEnvironmentVariable programFiles(L"ProgramW6432", value);
        for (const Result<Path>& result :
             {programFiles64Directory(), lutDirectory(), iesDirectory(), materialsDirectory()}) {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error(), L"Failed to retrieve path to 64-bit program files directory.");
        }
    }
}

TEST(KnownFoldersTest, KnownFoldersEndWithASlashAndDataFoldersDoNot) {
    const Optional<Path> local = knownFolderPath(FOLDERID_LocalAppData);
    ASSERT_TRUE(local.hasValue());
    EXPECT_TRUE(endsWith(local->text(), L"/AppData/Local/")) << local->text();
    EXPECT_EQ(local->text().find(L"\\"), String::NotFound);

    const Result<Path> data = applicationDataDirectory(true);
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(data.value().text() + L"/", local->text());
    EXPECT_EQ(pathOf(productDataDirectory()), data.value() / L"TarvioRenderer");

    const Result<Path> common = applicationDataDirectory(false);
    ASSERT_TRUE(common.ok());
    EXPECT_EQ(common.value().text().lowerCased(), L"c:/programdata");

    const Result<Path> desktop = desktopDirectory();
    ASSERT_TRUE(desktop.ok());
    EXPECT_TRUE(endsWith(desktop.value().text(), L"/"));
}

TEST(KnownFoldersTest, DataFoldersFallBackToTheirVariables) {
    const ScopedEnvironmentVariable noKnownFolders(L"TARVIO_TEST_SYSTEM", L"no-known-folders");
    EXPECT_FALSE(knownFolderPath(FOLDERID_LocalAppData).hasValue());
    ScratchFolder scratch;
    const String native = scratch.path().toNative() + L"\\";

    {
        const ScopedEnvironmentVariable local(L"LOCALAPPDATA", native.text());
        EXPECT_EQ(pathOf(applicationDataDirectory(true)), scratch.path().absolute());
        EXPECT_EQ(pathOf(productDataDirectory()), scratch.path().absolute() / L"TarvioRenderer");
    }
    {
        const ScopedEnvironmentVariable common(L"ProgramData", native.text());
        EXPECT_EQ(pathOf(applicationDataDirectory(false)), scratch.path().absolute());
    }
    for (const wchar_t* value : {static_cast<const wchar_t*>(nullptr), L""}) {
        const ScopedEnvironmentVariable local(L"LOCALAPPDATA", value);
        const ScopedEnvironmentVariable common(L"ProgramData", value);
        EXPECT_EQ(errorOf(applicationDataDirectory(true)), L"Failed to retrieve path to application data directory.");
        EXPECT_EQ(errorOf(applicationDataDirectory(false)), L"Failed to retrieve path to application data directory.");
        EXPECT_EQ(errorOf(productDataDirectory()), L"Failed to retrieve path to Tarvio application data directory.");
    }
    EXPECT_EQ(errorOf(desktopDirectory()), L"Failed to retrieve path to the desktop directory.");
}

TEST(KnownFoldersTest, TemporaryFolderIsAFullPathWithoutTrailingSeparator) {
    const Result<Path> temporary = temporaryDirectory();
    ASSERT_TRUE(temporary.ok());
    EXPECT_TRUE(temporary.value().isAbsolute());
    EXPECT_FALSE(endsWith(temporary.value().text(), L"/"));
    EXPECT_EQ(temporary.value(), temporary.value().absolute());
}

TEST(KnownFoldersTest, TemporaryFolderFallsBackToTempThenTmp) {
    const ScopedEnvironmentVariable noTempPath(L"TARVIO_TEST_SYSTEM", L"no-temp-path");
    ScratchFolder scratch;
    const String native = scratch.path().toNative();
    {
        const ScopedEnvironmentVariable temp(L"TEMP", native.text());
        const ScopedEnvironmentVariable tmp(L"TMP", L"C:\\elsewhere");
        EXPECT_EQ(pathOf(temporaryDirectory()), scratch.path().absolute());
    }
    {
        const ScopedEnvironmentVariable temp(L"TEMP", nullptr);
        const ScopedEnvironmentVariable tmp(L"TMP", native.text());
        EXPECT_EQ(pathOf(temporaryDirectory()), scratch.path().absolute());
    }
    const struct {
        const wchar_t* temp;
        const wchar_t* tmp;
    } failing[] = {{nullptr, nullptr}, {L"", nullptr}, {nullptr, L""}, {L"", L"C:\\elsewhere"}};
    for (const auto& c : failing) {
        const ScopedEnvironmentVariable temp(L"TEMP", c.temp);
        const ScopedEnvironmentVariable tmp(L"TMP", c.tmp);
        const Result<Path> result = temporaryDirectory();
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), L"Failed to retrieve path to temporary directory.");
    }
}

TEST(KnownFoldersTest, RandomNamedFilesAreNewEmptyAndDistinct) {
    ScratchFolder scratch;
    const Result<Path> first = createRandomNamedFile(scratch.path());
    const Result<Path> second = createRandomNamedFile(scratch.path());
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE(second.ok());
    EXPECT_NE(first.value(), second.value());
    for (const Path& file : {first.value(), second.value()}) {
        EXPECT_TRUE(isEmptyFile(file)) << file.text();
        EXPECT_EQ(file.extension().lowerCased(), L"tmp");
        EXPECT_EQ(file.parent().absolute(), scratch.path().absolute());
    }

    const Path missing = scratch.path() / L"missing";
    const Result<Path> failed = createRandomNamedFile(missing);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), L"Failed to create random named file in " + missing.toNative());
}

} // namespace
} // namespace Tarvio::Io
