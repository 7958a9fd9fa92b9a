#include "tests/tarviolib/wx/controls/wxtesting.h"

#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/wx/controls/draggablemixin.h"

#include <gtest/gtest.h>

namespace Tarvio::Wx {
namespace {

using DraggableFrame = DraggableMixin<wxFrame>;

void mouse(wxWindow* window, wxEventType type, int x, int y) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(window);
    window->HandleWindowEvent(event);
}

// A tool window: Wine destroys it at once, a managed frame only after a wait.
UniquePtr<DraggableFrame> shownFrame(const wxPoint& position) {
    auto frame = makeUnique<DraggableFrame>(nullptr, wxID_ANY, "drag", position, wxSize(200, 100),
                                            wxBORDER_NONE | wxFRAME_TOOL_WINDOW);
    frame->Show();
    return frame;
}

TEST(DraggableMixinTest, TheLeftButtonDragsTheWindowByThePointersOffsetUntilReleased) {
    const UniquePtr<DraggableFrame> frame = shownFrame(wxPoint(100, 100));
    mouse(frame.get(), wxEVT_MOTION, 10, 20);
    EXPECT_EQ(frame->GetPosition(), wxPoint(100, 100)) << "moving without the button moves nothing";

    mouse(frame.get(), wxEVT_LEFT_DOWN, 10, 20);
    EXPECT_TRUE(frame->HasCapture());
    mouse(frame.get(), wxEVT_MOTION, 40, 25);
    EXPECT_EQ(frame->GetPosition(), wxPoint(130, 105));

    mouse(frame.get(), wxEVT_LEFT_UP, 40, 25);
    EXPECT_FALSE(frame->HasCapture());
    mouse(frame.get(), wxEVT_MOTION, 70, 70);
    EXPECT_EQ(frame->GetPosition(), wxPoint(130, 105));
}

TEST(DraggableMixinTest, ALostCaptureEndsTheDragAndTheAnchorIsTheProgramsOne) {
    const UniquePtr<DraggableFrame> first = shownFrame(wxPoint(100, 100));
    const UniquePtr<DraggableFrame> second = shownFrame(wxPoint(400, 100));
    mouse(first.get(), wxEVT_MOTION, 10, 10);
    mouse(first.get(), wxEVT_LEFT_DOWN, 10, 10);
    wxMouseCaptureLostEvent lost(first->GetId());
    first->HandleWindowEvent(lost);
    EXPECT_FALSE(first->HasCapture());
    mouse(first.get(), wxEVT_MOTION, 30, 30);
    EXPECT_EQ(first->GetPosition(), wxPoint(100, 100)) << "no drag after the capture was lost";

    // The last position seen over the first window anchors a drag that starts on the second.
    mouse(second.get(), wxEVT_LEFT_DOWN, 5, 5);
    mouse(second.get(), wxEVT_MOTION, 35, 40);
    EXPECT_EQ(second->GetPosition(), wxPoint(405, 110));
    mouse(second.get(), wxEVT_LEFT_UP, 35, 40);
}

} // namespace
} // namespace Tarvio::Wx
