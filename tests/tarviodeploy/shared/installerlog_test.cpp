#include "tarviodeploy/shared/installerlogger.h"
#include "tarviodeploy/shared/progresscontext.h"
#include "tarviolib/io/filesystem.h"
#include "tarviolib/io/path.h"
#include "tests/support/deploymenttesting.h"
#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

struct Printed {
    std::string text;
    LogLevel level;
    bool operator==(const Printed& other) const { return text == other.text && level == other.level; }
};

std::ostream& operator<<(std::ostream& stream, const Printed& printed) {
    return stream << '"' << printed.text << "\" at " << static_cast<int>(printed.level);
}

class RecordingLogger : public InstallerLogger {
public:
    void updateProgress(const String& text) override { progress.push_back(text.toUtf8().text()); }
    bool isGui() const override { return false; }
    void print(const String& text, LogLevel level) override { printed.push_back({text.toUtf8().text(), level}); }

    std::vector<Printed> printed;
    std::vector<std::string> progress;
};

class InstallerLog : public ::testing::Test {
protected:
    Io::Path logPath() const { return mFolder.path() / "TarvioRenderer" / "DeployLog.txt"; }

    std::string logBytes() const {
        std::ifstream file(logPath().toNative().toUtf8().text(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    // The product's data folder, with the log file in it.
    Testing::TemporaryFolder mFolder{"log"};
};

const char* const Bom = "\xEF\xBB\xBF";
const std::string Stamp = "\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} ";

TEST_F(InstallerLog, StepResultsOnTheTitleLineOrAfterTheReports) {
    RecordingLogger logger;
    ProgressContext context(&logger);
    {
        ProgressContext::Step step(context, L"Installing Quiet");
    }
    context.reset();
    {
        ProgressContext::Step step(context, L"Installing Warned");
        context.warning(L"careful");
    }
    context.reset();
    {
        ProgressContext::Step step(context, L"Installing Broken");
        context.warning(L"careful");
        context.error(L"broken");
        context.info(L"still going");
    }
    const std::vector<Printed> expected = {
        {"Installing Quiet... ", LogLevel::Info},
        {"done\n", LogLevel::Info},
        {"Installing Warned... ", LogLevel::Info},
        {"careful\n", LogLevel::Warning},
        {"Operation result: warnings\n", LogLevel::Warning},
        {"Installing Broken... ", LogLevel::Info},
        {"careful\n", LogLevel::Warning},
        {"broken\n", LogLevel::Error},
        {"still going\n", LogLevel::Info},
        {"Operation result: failed\n", LogLevel::Error},
    };
    EXPECT_EQ(logger.printed, expected);
    EXPECT_EQ(context.status(), OperationResult::Failed);
}

TEST_F(InstallerLog, StatusOnlyRisesAndResetStartsOver) {
    RecordingLogger logger;
    ProgressContext context(&logger);
    context.error(L"e");
    context.warning(L"w");
    EXPECT_EQ(context.status(), OperationResult::Failed);
    context.reset();
    EXPECT_EQ(context.status(), OperationResult::Done);
    EXPECT_FALSE(context.anythingReported());
    context.updateProgress(L"50 %");
    EXPECT_EQ(logger.progress, std::vector<std::string>{"50 %"});
}

TEST_F(InstallerLog, ContextWithoutLoggerKeepsTheStatusButWritesNothing) {
    ProgressContext context(nullptr);
    {
        ProgressContext::Step step(context, L"Silent");
        context.warning(L"w");
        EXPECT_EQ(context.status(), OperationResult::Warnings);
        context.error(L"e");
    }
    EXPECT_EQ(context.status(), OperationResult::Failed);
    EXPECT_FALSE(context.anythingReported());
}

TEST_F(InstallerLog, FileGetsDatedEntriesWithWindowsLineEndsAfterOneByteOrderMark) {
    {
        RecordingLogger logger;
        ProgressContext context(&logger);
        ProgressContext::Step step(context, L"Installing Gr\u00fc\u00dfe");
    }
    {
        RecordingLogger logger;
        logger.log(L"Installation has been finished", LogLevel::Info);
    }
    {
        RecordingLogger logger;
        logger.log(L"next run\n", LogLevel::Info);
    }
    const std::string bytes = logBytes();
    const std::regex expected(std::string(Bom) + Stamp + "Installing Gr\xC3\xBC\xC3\x9F" "e\\.\\.\\. " + Stamp +
                              "done\r\n" + Stamp + "Installation has been finished" + Stamp + "next run\r\n");
    EXPECT_TRUE(std::regex_match(bytes, expected)) << bytes;
}

TEST_F(InstallerLog, AnExistingEmptyFileGetsTheByteOrderMark) {
    Io::createDirectories(logPath().parent());
    { std::ofstream(logPath().toNative().toUtf8().text(), std::ios::binary); }
    {
        RecordingLogger logger;
        logger.log(L"x", LogLevel::Info);
    }
    EXPECT_EQ(logBytes().rfind(Bom, 0), 0u);
    EXPECT_EQ(logBytes().find(Bom, 1), std::string::npos);
}

TEST_F(InstallerLog, WithoutADataFolderMessagesStillReachTheUser) {
    const Testing::ScopedEnvironmentVariable noDataFolder(L"LOCALAPPDATA", nullptr);
    RecordingLogger logger;
    logger.log(L"shown\n", LogLevel::Warning);
    EXPECT_EQ(logger.printed, (std::vector<Printed>{{"shown\n", LogLevel::Warning}}));
    EXPECT_FALSE(Io::isFile(logPath()));
}

} // namespace
} // namespace Tarvio
