#include "tarviolib/io/path.h"

#include "tarviolib/io/detail/finalpathname.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Tarvio::Io {
namespace {

TEST(PathTest, TextKeepsForwardSlashesAndNativeFormUsesBackslashes) {
    const Path path(String(L"C:\\Program Files\\x"));
    EXPECT_EQ(path.toString(), String(L"C:/Program Files/x"));
    EXPECT_EQ(path.toNative(), String(L"C:\\Program Files\\x"));
    EXPECT_EQ(String(path.toNativeBuffer().text()), String(L"C:\\Program Files\\x"));
    EXPECT_EQ(path.toNativeBuffer().length(), 18);
    EXPECT_TRUE(Path().toNativeBuffer().isEmpty());
}

TEST(PathTest, NothingButSeparatorsIsNormalised) {
    const Path path(String(L"a\\..//./B/"));
    EXPECT_EQ(path.toString(), String(L"a/..//./B/"));
    EXPECT_NE(Path("a/b"), Path("a/b/"));
    EXPECT_NE(Path("a/b"), Path("A/b"));
    EXPECT_EQ(Path("a\\b"), Path("a/b"));
}

TEST(PathTest, Joining) {
    struct Case {
        const wchar_t* left;
        const wchar_t* right;
        const wchar_t* joined;
    };
    const Case cases[] = {
        {L"a", L"", L"a"},       {L"", L"b", L"b"},           {L"a/", L"b", L"a/b"},
        {L"a", L"/b", L"a//b"},  {L"C:/x", L"D:/y", L"C:/x/D:/y"}, {L"a", L"b\\c", L"a/b/c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << String(c.left) << " / " << String(c.right));
        EXPECT_EQ((Path(c.left) / Path(c.right)).toString(), String(c.joined));
        EXPECT_EQ((Path(c.left) / String(c.right)).toString(), String(c.joined));
        Path joined(c.left);
        joined /= Path(c.right);
        EXPECT_EQ(joined.toString(), String(c.joined));
    }
}

TEST(PathTest, ParentAndLastSeparator) {
    struct Case {
        const wchar_t* path;
        const wchar_t* parent;
        int32_t lastSeparator; // -1: none
    };
    const Case cases[] = {
        {L"a/b/c", L"a/b", 3}, {L"a/b/", L"a/b", 3}, {L"/a", L"/", 0}, {L"a", L"", -1}, {L"", L"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << String(c.path));
        EXPECT_EQ(Path(c.path).parent().toString(), String(c.parent));
        const Optional<int32_t> separator = Path(c.path).lastSeparator();
        EXPECT_EQ(separator.hasValue() ? *separator : -1, c.lastSeparator);
    }
}

TEST(PathTest, Extension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* extension;
    };
    const Case cases[] = {
        {L"dir/file.tar.gz", L"gz"}, {L"dir/.profile", L""}, {L"dir.d/file", L""},
        {L"file", L""},              {L"file.", L""},        {L"Dir/File.EXR", L"EXR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << String(c.path));
        EXPECT_EQ(Path(c.path).extension(), String(c.extension));
    }
}

TEST(PathTest, FinalNamesLoseTheirPrefixAndSharesStayAbsolute) {
    EXPECT_EQ(Detail::pathFromFinalName(L"\\\\?\\C:\\users\\x").toString(), String(L"C:/users/x"));
    EXPECT_EQ(Detail::pathFromFinalName(L"\\\\?\\UNC\\server\\share\\x").toString(), String(L"//server/share/x"));
}

TEST(PathTest, IsAbsolute) {
    EXPECT_TRUE(Path("/x").isAbsolute());
    EXPECT_FALSE(Path("x/y").isAbsolute());
#ifdef _WIN32
    EXPECT_TRUE(Path("C:/x").isAbsolute());
    EXPECT_TRUE(Path("C:\\x").isAbsolute());
#endif
}

TEST(PathTest, AbsoluteOfAnExistingFolderDropsTheTrailingSeparator) {
    Testing::TemporaryDirectory directory;
    const Path absolute = Path(directory.path().toString() + L"/").absolute();
    EXPECT_EQ(absolute, directory.path().absolute());
    EXPECT_NE(absolute.text()[absolute.text().size() - 1], L'/');
    EXPECT_TRUE(absolute.isAbsolute());
}

TEST(PathTest, AbsoluteOfAMissingNameJoinsTheCurrentDirectory) {
    const Path current = Testing::toPath(std::filesystem::current_path());
    EXPECT_EQ(Path("tarvio-missing-name").absolute(), current / "tarvio-missing-name");
    EXPECT_EQ(Path("tarvio-missing/../other").absolute(), current / "other");
}

} // namespace
} // namespace Tarvio::Io
