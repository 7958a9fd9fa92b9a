#include "tarviodeploy/shared/ui/coloredtextcontrol.h"

#include "tests/tarviolib/wx/controls/wxtesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace Tarvio {
namespace {

const wxColour Grey(190, 190, 190);
const wxColour Orange(232, 170, 39);
const wxColour Red(210, 40, 40);

class ColoredLogTest : public Testing::WxFrameTest {
protected:
    void SetUp() override {
        WxFrameTest::SetUp();
        mLog = new ColoredTextControl(mPanel, Grey);
        mLog->SetSize(400, 300);
    }

    // Runs the calls on another thread, as the installation does, then lets the main thread
    // apply what they posted.
    template <typename Calls>
    void fromAnotherThread(Calls calls) {
        std::thread worker(calls);
        worker.join();
        EXPECT_EQ(text(), before) << "nothing applied before the main thread runs";
        processPending();
    }

    wxString text() const {
        wxString value = mLog->GetValue();
        value.Replace("\r", "");
        return value;
    }

    // The colour of the character at a position of the text.
    wxColour colourAt(long position) const {
        wxTextAttr style;
        EXPECT_TRUE(mLog->GetStyle(position, style));
        return style.GetTextColour();
    }

    ColoredTextControl* mLog = nullptr;
    wxString before;
};

TEST_F(ColoredLogTest, IsAReadOnlyRichBoxOnDarkGrey) {
    EXPECT_TRUE(mLog->HasFlag(wxTE_READONLY));
    EXPECT_TRUE(mLog->HasFlag(wxTE_MULTILINE));
    EXPECT_TRUE(mLog->HasFlag(wxTE_RICH));
    EXPECT_EQ(mLog->GetBackgroundColour(), wxColour(40, 40, 40));
    EXPECT_EQ(mLog->GetForegroundColour(), Grey);
}

TEST_F(ColoredLogTest, MessagesFromAnotherThreadAppearInOrderInTheirColours) {
    fromAnotherThread([this] {
        mLog->appendText("Installing plug-in... ", Grey);
        mLog->appendText("warnings\n", Orange);
        mLog->appendText("Error: disk full\n", Red);
        mLog->appendDefaultText("Next\n");
    });
    EXPECT_EQ(text(), "Installing plug-in... warnings\nError: disk full\nNext\n");
    // Each message from its first character to its last, its line end included (one position).
    const struct {
        const char* message;
        wxColour colour;
    } messages[] = {
        {"Installing plug-in... ", Grey}, {"warnings\n", Orange}, {"Error: disk full\n", Red}, {"Next\n", Grey}};
    long start = 0;
    for (const auto& [message, colour] : messages) {
        const long end = start + static_cast<long>(strlen(message)) - 1;
        EXPECT_EQ(colourAt(start), colour) << "first character of " << message;
        EXPECT_EQ(colourAt(end), colour) << "last character of " << message;
        start = end + 1;
    }
}

TEST_F(ColoredLogTest, ReplaceRewritesTheLastAppendedTextInItsColour) {
    fromAnotherThread([this] {
        mLog->appendText("Step... ", Grey);
        mLog->appendText("Downloading 0%\nsecond line\n", Orange);
        mLog->replaceLastText("Downloading 50%");
        mLog->replaceLastText("Downloading 100%");
        mLog->appendText("done\n", Grey);
    });
    EXPECT_EQ(text(), "Step... Downloading 100%done\n");
    EXPECT_EQ(colourAt(8), Orange);
    EXPECT_EQ(colourAt(23), Orange);
    EXPECT_EQ(colourAt(24), Grey);
}

TEST_F(ColoredLogTest, ReplaceBeforeAnyAppendAppends) {
    fromAnotherThread([this] {
        mLog->replaceLastText("Downloading 10%");
        mLog->replaceLastText("Downloading 20%");
    });
    EXPECT_EQ(text(), "Downloading 20%");
    EXPECT_EQ(colourAt(0), Grey);
}

TEST_F(ColoredLogTest, ManyLinesFromTwoThreadsKeepEachThreadsOrder) {
    std::thread first([this] {
        for (int i = 0; i < 200; ++i) {
            mLog->appendText(String("a") + toString(static_cast<int32_t>(i)) + "\n", Grey);
        }
    });
    std::thread second([this] {
        for (int i = 0; i < 200; ++i) {
            mLog->appendText(String("b") + toString(static_cast<int32_t>(i)) + "\n", Red);
        }
    });
    first.join();
    second.join();
    processPending();
    const wxString all = text();
    int nextA = 0;
    int nextB = 0;
    for (const wxString& line : wxSplit(all.BeforeLast('\n'), '\n', 0)) {
        int& next = line[0] == 'a' ? nextA : nextB;
        EXPECT_EQ(line.Mid(1), wxString::Format("%d", next));
        ++next;
    }
    EXPECT_EQ(nextA, 200);
    EXPECT_EQ(nextB, 200);
}

} // namespace
} // namespace Tarvio
