#include "tarviodeploy/installer/installercliandfilelogger.h"
#include "tarviodeploy/installer/ui/installerguiandfilelogger.h"
#include "tarviodeploy/shared/progresscontext.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"

#include "tests/tarviolib/wx/controls/wxtesting.h"
#include "tests/support/deploymenttesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace Tarvio {
namespace {

class GuiLoggerTest : public Testing::WxFrameTest {
protected:
    void SetUp() override {
        WxFrameTest::SetUp();
        mLog = new ColoredTextControl(mPanel, wxColour(190, 190, 190));
    }

    // The log file with each date and time replaced by "<stamp>", then deleted.
    std::string takeLogFile() const {
        const std::string path = (mFolder.path() / "TarvioRenderer" / "DeployLog.txt").toNative().toUtf8().text();
        std::ostringstream bytes;
        {
            std::ifstream file(path, std::ios::binary);
            bytes << file.rdbuf();
        }
        std::filesystem::remove(path);
        return std::regex_replace(bytes.str(), std::regex("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}"), "<stamp>");
    }

    wxColour colourAt(long position) const {
        wxTextAttr style;
        EXPECT_TRUE(mLog->GetStyle(position, style));
        return style.GetTextColour();
    }

    // The product's data folder, with the log file in it.
    Testing::TemporaryFolder mFolder{"guilog"};
    ColoredTextControl* mLog = nullptr;
};

// What an installation logs: a quiet step, a step with a warning and an error, a download's
// progress, and the closing text without a line end.
void logAnInstallation(InstallerLogger& logger) {
    ProgressContext context(&logger);
    {
        ProgressContext::Step step(context, "Installing LUT bundle");
    }
    context.reset();
    {
        ProgressContext::Step step(context, "Installing material library");
        context.info("Downloading 0%");
        context.updateProgress("Downloading 50%");
        context.updateProgress("Downloading 100%");
        context.warning("Material library is outdated");
        context.error("Cannot write file 'C:/x'");
    }
    logger.log("Installation has been finished", LogLevel::Info);
}

TEST_F(GuiLoggerTest, WritesTheSameLogFileAsTheCommandLineLogger) {
    {
        InstallerCliAndFileLogger cli;
        logAnInstallation(cli);
    }
    const std::string fromCli = takeLogFile();
    {
        InstallerGuiAndFileLogger gui(mLog);
        EXPECT_TRUE(gui.isGui());
        logAnInstallation(gui);
    }
    const std::string fromGui = takeLogFile();
    EXPECT_EQ(fromGui, fromCli);
    EXPECT_EQ(fromGui, "\xEF\xBB\xBF<stamp> Installing LUT bundle... <stamp> done\r\n"
                       "<stamp> Installing material library... <stamp> Downloading 0%\r\n"
                       "<stamp> Material library is outdated\r\n"
                       "<stamp> Cannot write file 'C:/x'\r\n"
                       "<stamp> Operation result: failed\r\n"
                       "<stamp> Installation has been finished");
}

TEST_F(GuiLoggerTest, ShowsEachLevelInItsColourAndProgressInPlaceFromTheInstallingThread) {
    InstallerGuiAndFileLogger logger(mLog);
    std::thread installing([&] { logAnInstallation(logger); });
    installing.join();
    processPending();

    wxString text = mLog->GetValue();
    text.Replace("\r", "");
    const wxString expected = "Installing LUT bundle... done\n"
                              "Installing material library... Downloading 100%"
                              "Material library is outdated\n"
                              "Cannot write file 'C:/x'\n"
                              "Operation result: failed\n"
                              "Installation has been finished";
    ASSERT_EQ(text, expected);
    const auto at = [&](const char* part) { return static_cast<long>(expected.Find(part)); };
    EXPECT_EQ(colourAt(at("Installing LUT")), wxColour(190, 190, 190));
    EXPECT_EQ(colourAt(at("Downloading 100%")), wxColour(190, 190, 190)) << "the colour it was first shown in";
    EXPECT_EQ(colourAt(at("Material library is")), wxColour(232, 170, 39));
    EXPECT_EQ(colourAt(at("Cannot write")), wxColour(210, 40, 40));
    EXPECT_EQ(colourAt(at("Operation result")), wxColour(210, 40, 40));
    EXPECT_EQ(colourAt(at("Installation has")), wxColour(190, 190, 190));
}

} // namespace
} // namespace Tarvio
