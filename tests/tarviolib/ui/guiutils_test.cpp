// The toolkit's headers first: they bring windows.h in the order its socket headers need.
#include <wx/msw/private.h>

#include "tarviolib/ui/guiutils.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/ui/dialogscript.h"
#include "tarviolib/ui/windowdisabler.h"
#include "tarviolib/wx/library.h"
#include "tests/support/watchdog.h"

#include "tests/support/dispatchingworker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace Tarvio {
namespace {

using Testing::onWorkerWhileDispatching;

using namespace std::chrono_literals;
using Testing::DialogScript;
using Testing::DialogType;
using Testing::ShownDialog;

class GuiUtilsTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initLibrary(1)); }
    static void TearDownTestSuite() { deinitLibrary(); }

    const Testing::Watchdog mWatchdog{60s, "a dialog test"};
};

// A plain top-level window of the system's, foreign to the toolkit.
class ForeignWindow {
public:
    explicit ForeignWindow(HWND owner = nullptr, bool visible = true)
        : mHandle(CreateWindowExW(0, L"STATIC", L"Foreign window", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                                  10, 10, 200, 100, owner, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~ForeignWindow() { DestroyWindow(mHandle); }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    HWND handle() const { return mHandle; }

private:
    HWND mHandle;
};

TEST_F(GuiUtilsTest, ScriptedBoxRecordsWhatWouldBeShownAndAnswersInOrder) {
    DialogScript script;
    script.answerBox(MessageBoxAnswer::No).answerBox(MessageBoxAnswer::Ok);
    const String message(L"a\tb\tc");
    EXPECT_EQ(showMessageBox(nullptr, String("Question"), message, MessageBoxKind::Question, MessageBoxButtons::YesNo),
              MessageBoxAnswer::No);
    EXPECT_EQ(showMessageBox(nullptr, String("Warning"), String("w"), MessageBoxKind::Warning,
                             MessageBoxButtons::Ok | MessageBoxButtons::Cancel),
              MessageBoxAnswer::Ok);
    EXPECT_EQ(showMessageBox(nullptr, String("Unscripted"), String("u"), MessageBoxKind::Information,
                             MessageBoxButtons::Ok),
              MessageBoxAnswer::Cancel);
    EXPECT_EQ(message, String(L"a\tb\tc")); // the caller's text is left alone

    const Array<ShownDialog> shown = script.shown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].type, DialogType::MessageDialog);
    EXPECT_EQ(shown[0].caption, String("Question"));
    EXPECT_EQ(shown[0].text, String("a    b    c"));
    EXPECT_EQ(shown[0].kind, MessageBoxKind::Question);
    EXPECT_EQ(shown[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_FALSE(shown[0].hasParent);
    EXPECT_TRUE(shown[0].onMainThread);
    EXPECT_EQ(shown[1].buttons, MessageBoxButtons::Ok | MessageBoxButtons::Cancel);
    EXPECT_EQ(shown[2].caption, String("Unscripted"));
}

TEST_F(GuiUtilsTest, UnknownKindStopsBeforeAnythingIsShown) {
    DialogScript script;
    try {
        showMessageBox(nullptr, String("Bad"), String("kind"), static_cast<MessageBoxKind>(4), MessageBoxButtons::Ok);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_STREQ(exception.what(), "STOP@tarviolib/ui/guiutils(159)");
    }
    EXPECT_TRUE(script.shown().isEmpty());
}

TEST_F(GuiUtilsTest, DialogsAskedForOnAnotherThreadAreShownOnTheMainThread) {
    DialogScript script;
    script.answerBox(MessageBoxAnswer::Yes).answerDirectory(Io::Path("C:/Chosen"));
    MessageBoxAnswer answer = MessageBoxAnswer::Cancel;
    Io::Path folder;
    onWorkerWhileDispatching([&] {
        answer = showMessageBox(nullptr, String("From a worker"), String("?"), MessageBoxKind::Question,
                                MessageBoxButtons::YesNo);
        folder = chooseDirectory(nullptr, String("Choose"), Io::Path("C:/Start"));
    });
    EXPECT_EQ(answer, MessageBoxAnswer::Yes);
    EXPECT_EQ(folder, Io::Path("C:/Chosen"));
    const Array<ShownDialog> shown = script.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].onMainThread);
    EXPECT_EQ(shown[1].type, DialogType::DirectoryDialog);
    EXPECT_EQ(shown[1].caption, String("Choose"));
    EXPECT_EQ(shown[1].text, String("C:/Start"));
    EXPECT_TRUE(shown[1].onMainThread);
}

// The script answers as the dialog does, with backslashes; the chooser turns them into slashes.
TEST_F(GuiUtilsTest, ChosenFolderComesBackWithSlashes) {
    DialogScript script;
    script.answerDirectory(Io::Path(L"D:/Chosen Folder/Sub"));
    const Io::Path chosen = chooseDirectory(nullptr, String("Choose"), Io::Path("C:/Start"));
    EXPECT_EQ(std::wstring(chosen.text().text()), L"D:/Chosen Folder/Sub");
}

TEST_F(GuiUtilsTest, ChooserEndedWithoutAFolderAnswersAnEmptyPath) {
    DialogScript script;
    script.answerDirectory(Io::Path());
    EXPECT_TRUE(chooseDirectory(nullptr, String("Choose"), Io::Path("C:/Start")).isEmpty());
    EXPECT_TRUE(chooseDirectory(nullptr, String("Unscripted"), Io::Path("C:/Start")).isEmpty());
    EXPECT_EQ(script.shown().size(), 2);
}

TEST_F(GuiUtilsTest, DisablerDisablesTheParentAndItsEnabledOwnedWindowsAndReenablesExactlyThose) {
    const ForeignWindow parent;
    const ForeignWindow enabledOwned(parent.handle());
    const ForeignWindow disabledOwned(parent.handle());
    const ForeignWindow unrelated;
    EnableWindow(disabledOwned.handle(), FALSE);
    {
        WindowDisabler disabler(parent.handle());
        EXPECT_FALSE(IsWindowEnabled(parent.handle()));
        EXPECT_FALSE(IsWindowEnabled(enabledOwned.handle()));
        EXPECT_FALSE(IsWindowEnabled(disabledOwned.handle()));
        EXPECT_TRUE(IsWindowEnabled(unrelated.handle()));
        disabler.release();
        EXPECT_TRUE(IsWindowEnabled(parent.handle()));
        EXPECT_TRUE(IsWindowEnabled(enabledOwned.handle()));
        EXPECT_FALSE(IsWindowEnabled(disabledOwned.handle()));
    }
    WindowDisabler none(nullptr);
    EXPECT_TRUE(IsWindowEnabled(unrelated.handle()));
}

// The one real box: found by its caption and answered by a helper thread, over a foreign parent
// that stays disabled while the box is up and is never taken into the toolkit.
TEST_F(GuiUtilsTest, RealBoxOverAForeignParentIsAnsweredByItsButton) {
    const ForeignWindow parent;
    const wchar_t* const caption = L"Tarvio real box test";
    std::atomic<bool> parentDisabledWhileUp{false};
    std::thread helper([&] {
        HWND box = nullptr;
        while ((box = FindWindowW(nullptr, caption)) == nullptr) {
            std::this_thread::sleep_for(20ms);
        }
        parentDisabledWhileUp = !IsWindowEnabled(parent.handle());
        std::this_thread::sleep_for(100ms);
        SendMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    });
    const MessageBoxAnswer answer = showMessageBox(parent.handle(), String(caption), String("Answer no."),
                                                   MessageBoxKind::Question, MessageBoxButtons::YesNo);
    helper.join();
    EXPECT_EQ(answer, MessageBoxAnswer::No);
    EXPECT_TRUE(parentDisabledWhileUp);
    EXPECT_TRUE(IsWindowEnabled(parent.handle()));
    EXPECT_EQ(wxFindWinFromHandle(parent.handle()), nullptr);
    EXPECT_TRUE(IsWindow(parent.handle()));
}

TEST_F(GuiUtilsTest, OpeningAMissingPathInTheShellFails) {
    EXPECT_FALSE(openInShell(Io::Path("C:/no such folder/no such file.tarvio-test")));
}

} // namespace
} // namespace Tarvio
