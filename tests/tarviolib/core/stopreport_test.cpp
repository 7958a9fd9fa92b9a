#include "tarviolib/core/exception.h"
#include "tarviolib/core/stopreport.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

TEST(StopReportTest, NamesModuleAndLine) {
    try {
        throwStop("tarviolib/image/image", 36);
        FAIL() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "STOP@tarviolib/image/image(36)");
    }
}

} // namespace
} // namespace Tarvio
