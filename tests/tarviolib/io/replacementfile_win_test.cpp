#include "tarviolib/io/replacementfile.h"

#include "tarviolib/io/filesystem.h"
#include "tests/support/fileholder.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <chrono>

namespace Tarvio::Io {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Testing::readBytes;
using Testing::writeBytes;
using Tarvio::Testing::FileHolder;

class BusyReplacementTest : public testing::Test {
protected:
    Testing::TemporaryDirectory mDirectory;
    const Path mTarget = mDirectory / "target.dat";
    const Path mPartial = mDirectory / "target.dat.partial";
};

// A scanner that lets go within the retry time delays the replacement; one that holds on longer
// makes it fail with the usual message, the target intact.
TEST_F(BusyReplacementTest, AHeldFileIsWaitedForAboutTwoSeconds) {
    const struct {
        const char* what;
        bool holdTarget;  // else the file just written
        std::chrono::milliseconds hold;
        bool replaced;
    } cases[] = {
        {"target held briefly", true, 300ms, true},
        {"written file held briefly", false, 300ms, true},
        {"target held too long", true, 5000ms, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        writeBytes(mTarget, "old");
        ReplacementFile file(mTarget);
        file.stream().write("new", 3);
        file.stream().flush();
        const FileHolder holder(test.holdTarget ? mTarget : mPartial, test.hold);
        const Clock::time_point start = Clock::now();
        if (test.replaced) {
            file.commit();
            EXPECT_EQ(readBytes(mTarget), "new");
        } else {
            Testing::expectThrowsMessage([&] { file.commit(); },
                                         "Cannot open/read/write file '" + Testing::narrow(mTarget.toString()) + "'");
            const Clock::duration waited = Clock::now() - start;
            EXPECT_GE(waited, 1900ms);
            EXPECT_LT(waited, test.hold);  // it gave up before the holder let go
            EXPECT_EQ(readBytes(mTarget), "old");
        }
        EXPECT_FALSE(isFile(mPartial));
    }
}

TEST_F(BusyReplacementTest, OtherFailuresAreNotWaitedFor) {
    writeBytes(mTarget, "moved");
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(moveFile(mTarget, mDirectory / "missing/target.dat", true));
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(readBytes(mTarget), "moved");
}

} // namespace
} // namespace Tarvio::Io
