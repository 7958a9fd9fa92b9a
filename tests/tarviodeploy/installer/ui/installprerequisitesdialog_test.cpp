// The prerequisites dialog as the engine asks it: the answer to each way out (its buttons clicked,
// Escape, a close request), the identifier the dialog ends with, and the list it shows.

#include "tarviodeploy/shared/deploymentenvironment.h"
#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/deploymentgui.h"
#include "tarviodeploy/shared/ui/installprerequisitesdialog.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/library.h"
#include "tests/support/labelglyphs.h"
#include "tests/support/watchdog.h"
#include "tools/packwriter/packwriter.h"

#include <wx/app.h>
#include <wx/statbmp.h>
#include <wx/toplevel.h>

#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

using namespace std::chrono_literals;

// A click on the dialog's button with that caption: pressed and released inside it.
void click(InstallPrerequisitesDialog& dialog, const char* caption) {
    for (wxWindow* child : dialog.GetChildren()) {
        Wx::Button* button = dynamic_cast<Wx::Button*>(child);
        if (button == nullptr || button->GetLabel() != caption) {
            continue;
        }
        for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
            wxMouseEvent event(type);
            event.SetPosition(wxPoint(2, 2));
            event.SetEventObject(button);
            button->ProcessWindowEvent(event);
        }
        return;
    }
    ADD_FAILURE() << "no button " << caption;
}

TEST(InstallPrerequisitesDialogTest, AnswersAndList) {
    Testing::Watchdog watchdog(60s, "the prerequisites dialog test");
    auto text = [](const std::string& content) { return std::vector<uint8_t>(content.begin(), content.end()); };
    // A logo that does not decode, and none at all: the dialog goes without one either way.
    const std::vector<uint8_t> damagedLogo = PackWriter::pack({PackWriter::stored("gui/Logo.png", text("not a PNG"))});
    const std::vector<uint8_t> noLogo = PackWriter::pack({});
    PrerequisiteIssues issues;
    issues[PrerequisiteCategory::RunningApplication].append(L"3ds Max");
    issues[PrerequisiteCategory::RunningApplication].append(L"Tarvio Standalone");
    using Finish = Function<void(InstallPrerequisitesDialog&)>;
    const struct {
        const char* way;
        Finish finish;
        UserResponse answer;
        int endedWith; // the dialog's return code
    } cases[] = {
        {"Escape", Finish([](InstallPrerequisitesDialog& dialog) {
             wxKeyEvent key(wxEVT_CHAR_HOOK);
             key.m_keyCode = WXK_ESCAPE;
             dialog.ProcessWindowEvent(key);
         }), UserResponse::Abort, wxID_ABORT},
        {"close", Finish([](InstallPrerequisitesDialog& dialog) { dialog.Close(); }), UserResponse::Abort, wxID_ABORT},
        {"Retry", Finish([](InstallPrerequisitesDialog& dialog) { click(dialog, "Retry"); }), UserResponse::Retry,
         wxID_RETRY},
        {"Ignore", Finish([](InstallPrerequisitesDialog& dialog) { click(dialog, "Ignore"); }), UserResponse::Ignore,
         wxID_IGNORE},
        {"Abort", Finish([](InstallPrerequisitesDialog& dialog) { click(dialog, "Abort"); }), UserResponse::Abort,
         wxID_ABORT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        for (const std::vector<uint8_t>* pack : {&damagedLogo, &noLogo}) {
            DeploymentEnvironment environment(pack->data(), static_cast<int32_t>(pack->size()));
            DeploymentGui ui(nullptr, DeploymentUserInterface::Mode::Installer, &environment);
            std::string list;
            bool logo = true;
            int endedWith = 0;
            wxTheApp->CallAfter([&] {
                for (wxWindow* window : wxTopLevelWindows) {
                    if (InstallPrerequisitesDialog* dialog = dynamic_cast<InstallPrerequisitesDialog*>(window)) {
                        wxTheApp->Yield(true); // the list arrives as queued events
                        logo = false;
                        for (wxWindow* child : dialog->GetChildren()) {
                            logo = logo || dynamic_cast<wxStaticBitmap*>(child) != nullptr;
                            if (ColoredTextControl* log = dynamic_cast<ColoredTextControl*>(child)) {
                                list = std::string(log->GetValue().utf8_str());
                            }
                        }
                        c.finish(*dialog);
                        endedWith = dialog->GetReturnCode();
                    }
                }
            });
            EXPECT_EQ(ui.askAboutPrerequisites(issues), c.answer);
            EXPECT_EQ(endedWith, c.endedWith);
            EXPECT_EQ(list,
                      "These applications appear to be running, you should close these applications before "
                      "continuing:\n  \u2022 3ds Max\n  \u2022 Tarvio Standalone\n");
            EXPECT_FALSE(logo);
        }
    }
}

TEST(InstallPrerequisitesDialogTest, HeadingIsWhole) {
    Testing::Watchdog watchdog(60s, "the prerequisites dialog's heading");
    InstallPrerequisitesDialog dialog(nullptr, nullptr);
    dialog.Show();
    wxTheApp->Yield(true);
    std::vector<Wx::StaticText*> labels;
    for (wxWindow* child : dialog.GetChildren()) {
        if (Wx::StaticText* label = dynamic_cast<Wx::StaticText*>(child)) {
            labels.push_back(label);
        }
    }
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->GetLabel(), "Some unmet prerequisites occurred:");
    Testing::expectWholeLabel(*labels[0]);
    dialog.Hide();
}

} // namespace
} // namespace Tarvio
