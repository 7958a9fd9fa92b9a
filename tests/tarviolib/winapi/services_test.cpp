#include "tarviolib/winapi/doubleclick.h"
#include "tarviolib/winapi/environment.h"
#include "tarviolib/winapi/errormessage.h"
#include "tarviolib/winapi/module.h"

#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace Tarvio::WinApi {
namespace {

using Testing::ScopedEnvironmentVariable;

TEST(EnvironmentVariableTest, TellsAnEmptyVariableFromAMissingOne) {
    const ScopedEnvironmentVariable present(L"TARVIO_TEST_PRESENT", L"some value");
    const ScopedEnvironmentVariable empty(L"TARVIO_TEST_EMPTY", L"");
    const ScopedEnvironmentVariable missing(L"TARVIO_TEST_MISSING", nullptr);

    EXPECT_EQ(environmentVariable(L"TARVIO_TEST_PRESENT").valueOr(L"?"), L"some value");
    const Optional<String> emptyValue = environmentVariable(L"TARVIO_TEST_EMPTY");
    ASSERT_TRUE(emptyValue.hasValue());
    EXPECT_TRUE(emptyValue->isEmpty());
    SetLastError(ERROR_ENVVAR_NOT_FOUND); // a stale error must not turn the empty variable into a missing one
    EXPECT_TRUE(environmentVariable(L"TARVIO_TEST_EMPTY").hasValue());
    EXPECT_FALSE(environmentVariable(L"TARVIO_TEST_MISSING").hasValue());
}

TEST(EnvironmentVariableTest, ReadsALongValueWhole) {
    const String longValue(L'x', 32000); // beyond any first guess, within the system's limit
    const ScopedEnvironmentVariable variable(L"TARVIO_TEST_LONG", longValue.text());
    const String value = environmentVariable(L"TARVIO_TEST_LONG").valueOr(L"?");
    EXPECT_EQ(value.size(), longValue.size());
    EXPECT_TRUE(value == longValue);
}

// The system's double-click measures at their edges, and across the message clock's wrap.
TEST(DoubleClickTest, SecondPressWithinTheSystemsTimeAndRectangle) {
    const uint32_t limit = GetDoubleClickTime();
    const int32_t halfWidth = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    const int32_t halfHeight = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    ASSERT_GT(halfWidth, 1);
    ASSERT_GT(halfHeight, 1);
    for (const uint32_t start : {1000u, 0xFFFFFFF0u}) {
        const MousePress first{start, 300, 200};
        const struct {
            const char* what;
            MousePress second;
            bool doubleClick;
        } cases[] = {
            {"at once in the same place", {start, 300, 200}, true},
            {"just within the time", {start + limit - 1, 300, 200}, true},
            {"at the time", {start + limit, 300, 200}, false},
            {"just within the rectangle", {start, 300 - (halfWidth - 1), 200 + halfHeight - 1}, true},
            {"beside it", {start, 300 + halfWidth, 200}, false},
            {"above it", {start, 300, 200 - halfHeight}, false},
            {"before the first", {start - 1, 300, 200}, false},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(makesDoubleClick(first, c.second), c.doubleClick) << c.what << ", from " << start;
        }
    }
}

TEST(ErrorMessageTest, WinInetCodesGetWinInetsText) {
    ASSERT_NE(LoadLibraryW(L"wininet.dll"), nullptr);
    const String text = errorMessage(12029);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, L"Error code 12029");
    String trimmed = text;
    trimmed.trim();
    EXPECT_EQ(text, trimmed);
}

TEST(ErrorMessageTest, SystemCodesAreTrimmedAndUnknownCodesNamed) {
    const String notFound = errorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(notFound.isEmpty());
    EXPECT_NE(notFound[notFound.size() - 1], L'\n');
    EXPECT_NE(notFound.find(L"Error code"), 0);

    EXPECT_EQ(errorMessage(0x2FFFFFFFu), L"Error code 805306367");
    EXPECT_EQ(errorMessage(0xE0001234u), L"Error code 3758101044");
    EXPECT_EQ(errorMessage(12175 + 1000), L"Error code 13175");

    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lastErrorMessage(), notFound);
}

TEST(FileResourceTest, FindsTheExecutablesOwnResourceInPlace) {
    const Optional<FileResource> resource = loadFileResource(nullptr, L"TESTPAYLOAD");
    ASSERT_TRUE(resource.hasValue());
    const char expected[] = "Tarvio resource payload\n";
    ASSERT_EQ(resource->size, sizeof(expected) - 1);
    EXPECT_EQ(std::memcmp(resource->data, expected, resource->size), 0);

    EXPECT_FALSE(loadFileResource(nullptr, L"NOSUCHPAYLOAD").hasValue());
}

TEST(ExecutablePathTest, IsTheRunningExecutable) {
    const Io::Path path = executablePath();
    EXPECT_TRUE(path.isAbsolute());
    const String name = path.text().substr(path.text().findLast(L'/') + 1).lowerCased();
    EXPECT_EQ(name, L"tarviolib_winapi_tests.exe");
    EXPECT_EQ(path.text().find(L"\\"), String::NotFound);
}

} // namespace
} // namespace Tarvio::WinApi
