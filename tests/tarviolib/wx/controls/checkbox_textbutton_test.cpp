#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/textbutton.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include "tests/tarviolib/wx/controls/wxtesting.h"

#include <gtest/gtest.h>

#include <wx/evtloop.h>
#include <wx/msw/private.h>

#include <vector>

namespace Tarvio::Wx {
namespace {

using Testing::Canvas;
using Testing::Rgb;

using CheckBoxTest = Testing::WxFrameTest;

TEST_F(CheckBoxTest, SizesScaled) {
    CheckBox* labelled = new CheckBox(mPanel, wxID_ANY, "Material library", wxDefaultPosition, wxDefaultSize, true);
    EXPECT_EQ(labelled->GetSize().y, scaled(15));
    EXPECT_GT(labelled->GetSize().x, scaled(18)) << "as wide as the toolkit makes it";
    CheckBox* bare = new CheckBox(mPanel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, true);
    EXPECT_EQ(bare->GetSize(), wxSize(scaled(15), scaled(15)));
    CheckBox* wide = new CheckBox(mPanel, wxID_ANY, "x", wxDefaultPosition, wxSize(100, -1), false);
    EXPECT_EQ(wide->GetSize(), wxSize(scaled(100), scaled(15)));
    EXPECT_FALSE(wide->IsEnabled());
    EXPECT_EQ(wide->GetName(), "check");

    labelled->SetFont(wxFont(wxFontInfo(30).Bold()));
    EXPECT_EQ(labelled->GetFont().GetPixelSize().y, scaled(12));
}

TEST_F(CheckBoxTest, UserClickReportsTheNewValueOnceAndCodeChangesDoNot) {
    CheckBox* box = new CheckBox(mPanel, wxID_ANY, "Standalone", wxDefaultPosition, wxDefaultSize, true);
    std::vector<bool> changes;
    box->setOnChange([&](bool value) { changes.push_back(value); });
    int parentEvents = 0;
    mPanel->Bind(wxEVT_CHECKBOX, [&](wxCommandEvent&) { ++parentEvents; });

    // What the platform sends when the user clicks the control.
    box->MSWCommand(BN_CLICKED, static_cast<WXWORD>(box->GetId()));
    EXPECT_TRUE(box->GetValue());
    box->MSWCommand(BN_CLICKED, static_cast<WXWORD>(box->GetId()));
    EXPECT_EQ(changes, std::vector<bool>({true, false}));
    EXPECT_EQ(parentEvents, 2) << "the event goes on to the parent";

    box->SetValue(true);
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(CheckBoxTest, DrawsBoxTickLabelAndFocusScaled) {
    CheckBox* box = new CheckBox(mPanel, wxID_ANY, "Image editor", wxDefaultPosition, wxSize(150, -1), true);
    const Rgb text{190, 190, 190};
    box->SetForegroundColour(wxColour(text.r, text.g, text.b));
    const Rgb paper{51, 51, 51};
    auto draw = [&] {
        Canvas canvas(box->GetSize().x, box->GetSize().y, wxColour(paper.r, paper.g, paper.b));
        canvas.dc().SetFont(box->GetFont());
        canvas.dc().SetTextForeground(box->GetForegroundColour());
        box->draw(canvas.dc());
        return canvas.picture();
    };
    const int32_t s = scaled(15);
    const Rgb white{255, 255, 255};

    const Testing::Picture unchecked = draw();
    EXPECT_EQ(unchecked.at(0, 0), Rgb({54, 54, 54}));
    EXPECT_EQ(unchecked.at(s - 1, 0), Rgb({54, 54, 54}));
    EXPECT_EQ(unchecked.at(1, 1), Rgb({37, 37, 37})) << "never the hover blue";
    EXPECT_EQ(unchecked.at(0, s - 1), Rgb({70, 70, 70}));
    EXPECT_EQ(unchecked.at(s / 2, s - 1), Rgb({85, 85, 85}));
    EXPECT_TRUE(unchecked.boundsOf(white).IsEmpty()) << "no tick";
    const wxRect label = unchecked.boundsOf(text);
    ASSERT_FALSE(label.IsEmpty());
    EXPECT_GE(label.GetLeft(), scaled(18));
    EXPECT_LE(label.GetLeft(), scaled(18) + 2);

    box->SetValue(true);
    const Testing::Picture checked = draw();
    const wxRect tick = checked.boundsOf(white);
    ASSERT_FALSE(tick.IsEmpty());
    EXPECT_GE(tick.GetLeft(), scaled(3) - 1);
    EXPECT_LE(tick.GetRight(), scaled(11) + 1);
    EXPECT_GE(tick.GetTop(), scaled(3) - 1);
    EXPECT_LE(tick.GetBottom(), scaled(10) + 1);

    // What the focus adds: a dotted rectangle around the label. Its lines are 1 scaled wide, centred
    // on their coordinates; like the tick's, they may fall a pixel right of and below them, as the
    // graphics back end rounds.
    box->SetFocus();
    ASSERT_TRUE(box->HasFocus());
    const Testing::Picture focused = draw();
    const wxRect ring = focused.boundsOfChangesFrom(checked);
    ASSERT_FALSE(ring.IsEmpty());
    EXPECT_GE(ring.GetLeft(), scaled(17) - scaled(1) / 2);
    EXPECT_LE(ring.GetLeft(), scaled(17) + 1);
    EXPECT_LE(ring.GetTop(), 1);
    EXPECT_GE(ring.GetRight(), label.GetRight()) << "around the label";
    int32_t dots = 0;
    for (int32_t y = ring.GetTop(); y <= ring.GetBottom(); ++y) {
        dots += focused.at(ring.GetLeft(), y) == text ? 1 : 0;
    }
    EXPECT_GT(dots, 0) << "the dotted focus rectangle's left side, in the text colour";
    EXPECT_LT(dots, ring.GetHeight()) << "dotted, not solid";
}

// What the window itself paints on the screen: its box and its label, in the colours set on it.
TEST_F(CheckBoxTest, PaintsItsLabelInItsWindowScaled) {
    CheckBox* box = new CheckBox(mPanel, wxID_ANY, "Material library", wxPoint(10, 10), wxDefaultSize, true);
    const Rgb text{190, 190, 190};
    box->SetForegroundColour(wxColour(text.r, text.g, text.b));
    box->SetBackgroundColour(wxColour(51, 51, 51));
    box->SetFont(box->GetFont());
    box->Refresh();
    box->Update();

    const Testing::Picture painted = Testing::paintedPicture(box);
    EXPECT_EQ(painted.at(0, 0), Rgb({54, 54, 54})) << "the box's frame";
    const wxRect label = painted.boundsOf(text);
    ASSERT_FALSE(label.IsEmpty()) << "the label is painted";
    EXPECT_GE(label.GetLeft(), scaled(18));
    EXPECT_GT(label.GetWidth(), scaled(40)) << "the whole label, not a stray pixel";
}

// Presses and releases a key the way the platform delivers it, through the message queue and an
// event loop, so that the toolkit's dialog navigation sees it first. (Without an active loop, as
// in a test, wxYield dispatches nothing.)
void typeKey(wxWindow* window, WPARAM key) {
    PostMessageW(GetHwndOf(window), WM_KEYDOWN, key, 1);
    PostMessageW(GetHwndOf(window), WM_KEYUP, key, 0xC0000001);
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
    loop.YieldFor(wxEVT_CATEGORY_ALL);
}

class TabTest : public Testing::WxFrameTest {
protected:
    void SetUp() override {
        WxFrameTest::SetUp();
        mPath = new TextControl(mPanel, wxID_ANY, "C:/Tarvio", 0, 0, -1, -1);
        mFirst = new CheckBox(mPanel, wxID_ANY, "First", wxDefaultPosition, wxDefaultSize, true);
        new Button(mPanel, Skin::defaults(), wxID_ANY, "Browse", wxNullBitmap, wxNullBitmap, nullptr, 0, true,
                   FrameEnabled);
        new TextControl(mPanel, wxID_ANY, "", wxTE_READONLY | wxTE_MULTILINE | wxTE_RICH, 0, -1, -1);
        mSecond = new CheckBox(mPanel, wxID_ANY, "Second", wxDefaultPosition, wxDefaultSize, true);
        new TextButton(mPanel, wxID_ANY, "Link", nullptr, wxDefaultPosition, wxDefaultSize);
        mDisabled = new CheckBox(mPanel, wxID_ANY, "Disabled", wxDefaultPosition, wxDefaultSize, false);
    }

    TextControl* mPath = nullptr;
    CheckBox* mFirst = nullptr;
    CheckBox* mSecond = nullptr;
    CheckBox* mDisabled = nullptr;
};

TEST_F(TabTest, CheckBoxesMoveTheFocusAmongThemselves) {
    mPath->SetFocus();
    typeKey(mPath, VK_TAB);
    EXPECT_EQ(wxWindow::FindFocus(), mFirst) << "the dialog's Tab skips the button";

    typeKey(mFirst, VK_TAB);
    EXPECT_EQ(wxWindow::FindFocus(), mSecond) << "past the button, the read-only box and the field";
    typeKey(mSecond, VK_TAB);
    EXPECT_EQ(wxWindow::FindFocus(), mFirst) << "wraps, past the link and the disabled box";
}

TEST_F(TabTest, ShiftTabGoesBackAndALoneBoxKeepsTheFocus) {
    mFirst->SetFocus();
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = WXK_TAB;
    down.m_shiftDown = true;
    wxKeyEvent up(wxEVT_KEY_UP);
    up.m_keyCode = WXK_TAB;
    up.m_shiftDown = true;
    mFirst->HandleWindowEvent(down);
    mFirst->HandleWindowEvent(up);
    EXPECT_EQ(wxWindow::FindFocus(), mSecond);

    mSecond->Hide();
    mFirst->SetFocus();
    typeKey(mFirst, VK_TAB);
    EXPECT_EQ(wxWindow::FindFocus(), mFirst);
}

using TextButtonTest = Testing::WxFrameTest;

TEST_F(TextButtonTest, HoverColoursFollowTheMouse) {
    int clicks = 0;
    TextButton* link =
        new TextButton(mPanel, wxID_ANY, "Documentation", [&] { ++clicks; }, wxPoint(10, 20), wxDefaultSize);
    EXPECT_EQ(link->GetPosition(), wxPoint(10, 20));
    const wxColour normal(190, 190, 190);
    const wxColour hover(39, 147, 255);
    link->setNormalColour(normal);
    link->setHoverColour(hover);
    EXPECT_EQ(link->GetForegroundColour(), normal);

    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    link->HandleWindowEvent(enter);
    EXPECT_TRUE(link->isHovering());
    EXPECT_EQ(link->GetForegroundColour(), hover);
    link->setNormalColour(wxColour(255, 255, 255));
    EXPECT_EQ(link->GetForegroundColour(), hover) << "the new normal colour waits for the mouse to leave";

    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    link->HandleWindowEvent(leave);
    EXPECT_EQ(link->GetForegroundColour(), wxColour(255, 255, 255));

    wxMouseEvent up(wxEVT_LEFT_UP);
    link->HandleWindowEvent(up);
    EXPECT_EQ(clicks, 1);

    // A link with an empty callback: its click runs nothing, opens no address and throws nothing.
    std::vector<std::wstring> opened;
    TextButton::setBrowserForTesting([&](const String& address) { opened.emplace_back(address.text()); });
    TextButton* inert = new TextButton(mPanel, wxID_ANY, "Nothing", nullptr, wxDefaultPosition, wxDefaultSize);
    EXPECT_NO_THROW(inert->ProcessWindowEvent(up));
    TextButton::setBrowserForTesting(nullptr);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(clicks, 1) << "the other link's callback is its own";
}

TEST_F(TextButtonTest, WebLinkOpensItsAddress) {
    std::vector<std::wstring> opened;
    TextButton::setBrowserForTesting([&](const String& address) { opened.emplace_back(address.text()); });
    TextButton* link = new TextButton(mPanel, wxID_ANY, "Forum", String("https://www.tarvio.example/link/2008"));
    wxMouseEvent up(wxEVT_LEFT_UP);
    link->HandleWindowEvent(up);
    TextButton::setBrowserForTesting(nullptr);
    EXPECT_EQ(opened, std::vector<std::wstring>({L"https://www.tarvio.example/link/2008"}));
}

} // namespace
} // namespace Tarvio::Wx
