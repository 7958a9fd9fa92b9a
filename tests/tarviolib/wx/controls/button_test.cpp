#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/screenscaling.h"

#include "tests/support/dpitesting.h"
#include "tests/tarviolib/wx/controls/wxtesting.h"

#include <gtest/gtest.h>

#include <map>

namespace Tarvio::Wx {
namespace {

using Testing::Canvas;
using Testing::Rgb;

const Rgb Outer{54, 54, 54};
const Rgb Inner{37, 37, 37};
const Rgb Blue{0, 114, 188};
const Rgb EdgeEnd{70, 70, 70};
const Rgb Edge{85, 85, 85};
const Rgb Paper{200, 0, 200};

Rgb rgb(const wxColour& colour) {
    return {colour.Red(), colour.Green(), colour.Blue()};
}

TEST(Frame, DrawsTheFlagsLook) {
    struct Case {
        uint32_t flags;
        Rgb corner, inner, bottomEnd, bottom, innerBottom;
    };
    const Case cases[] = {
        {FrameEnabled, Outer, Inner, EdgeEnd, Edge, Inner},
        {FrameEnabled | FrameHover, Outer, Blue, EdgeEnd, Edge, Blue},
        {FrameHover, Outer, Inner, EdgeEnd, Edge, Inner}, // disabled: never blue
        {0, Outer, Inner, EdgeEnd, Edge, Inner},
        {FrameFlat | FrameEnabled, Inner, Paper, Inner, Inner, Paper},
        {FrameFlat | FrameEnabled | FrameHover, Blue, Paper, Blue, Blue, Paper},
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 10, wxColour(Paper.r, Paper.g, Paper.b));
        drawFrame(canvas.dc(), 0, 0, 20, 10, c.flags);
        const Testing::Picture picture = canvas.picture();
        SCOPED_TRACE(::testing::Message() << "flags " << c.flags);
        EXPECT_EQ(picture.at(0, 0), c.corner);
        EXPECT_EQ(picture.at(19, 0), c.corner);
        EXPECT_EQ(picture.at(0, 5), c.corner);
        EXPECT_EQ(picture.at(19, 5), c.corner);
        EXPECT_EQ(picture.at(1, 1), c.inner);
        EXPECT_EQ(picture.at(18, 4), c.inner);
        EXPECT_EQ(picture.at(10, 8), c.innerBottom);
        EXPECT_EQ(picture.at(0, 9), c.bottomEnd);
        EXPECT_EQ(picture.at(19, 9), c.bottomEnd);
        EXPECT_EQ(picture.at(1, 9), c.bottom);
        EXPECT_EQ(picture.at(18, 9), c.bottom);
        EXPECT_EQ(picture.at(10, 5), Paper) << "outlines only";
    }
}

wxBitmap solidBitmap(const wxColour& colour) {
    wxBitmap bitmap(8, 8, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(colour));
    dc.Clear();
    return bitmap;
}

Skin testSkin() {
    Skin skin = Skin::defaults();
    skin.rgb[Skin::Background][0] = 60; // tell the roles apart from the defaults
    return skin;
}

class ButtonTest : public Testing::WxFrameTest {
protected:
    void SetUp() override {
        WxFrameTest::SetUp();
        mPanel->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
            wxWindow* source = dynamic_cast<wxWindow*>(event.GetEventObject());
            ASSERT_NE(source, nullptr);
            EXPECT_EQ(event.GetId(), source->GetId());
            ++mParentEvents[source];
        });
    }

    Button* makeButton(int32_t kind = Button::Push, bool enabled = true, const wxBitmap& bitmap = wxNullBitmap,
                       const wxBitmap& disabledBitmap = wxNullBitmap) {
        Button* button = new Button(mPanel, mSkin, wxID_ANY, "Next", bitmap, disabledBitmap,
                                    [this] { ++mCallbacks; }, kind, enabled, FrameEnabled);
        button->SetSize(62, 24);
        return button;
    }

    static void send(Button* button, wxEventType type, int32_t x = 5, int32_t y = 5) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(button);
        event.SetId(button->GetId());
        button->HandleWindowEvent(event);
    }

    static void click(Button* button) {
        send(button, wxEVT_LEFT_DOWN);
        send(button, wxEVT_LEFT_UP);
    }

    const Skin mSkin = testSkin();
    int mCallbacks = 0;
    std::map<wxWindow*, int> mParentEvents; // wxEVT_BUTTON events that reached the panel, by source
};

TEST_F(ButtonTest, ClickOverTheButtonSendsOneCommandEventAndCallsBackOnce) {
    Button* button = makeButton();
    int ownEvents = 0;
    button->Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
        ++ownEvents;
        event.Skip(); // on to the parent
    });

    send(button, wxEVT_LEFT_DOWN);
    EXPECT_TRUE(button->isPressed());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::PressedBackground)));
    EXPECT_TRUE(button->HasCapture());

    send(button, wxEVT_LEFT_UP, 61, 23);
    EXPECT_EQ(ownEvents, 1);
    EXPECT_EQ(mParentEvents[button], 1);
    EXPECT_EQ(mCallbacks, 1);
    EXPECT_FALSE(button->isPressed());
    EXPECT_FALSE(button->HasCapture());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));

    send(button, wxEVT_LEFT_UP);
    EXPECT_EQ(mCallbacks, 1) << "a release without a press is no click";
}

TEST_F(ButtonTest, NoClickWhenReleasedOutsideOrTheCaptureIsLostOrDisabled) {
    Button* button = makeButton();
    for (const wxPoint outside : {wxPoint(62, 5), wxPoint(-1, 5), wxPoint(5, 24), wxPoint(5, -1)}) {
        send(button, wxEVT_LEFT_DOWN);
        send(button, wxEVT_LEFT_UP, outside.x, outside.y);
        EXPECT_FALSE(button->isPressed());
        EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));
    }

    send(button, wxEVT_LEFT_DCLICK);
    EXPECT_TRUE(button->isPressed()) << "a double click presses too";
    wxMouseCaptureLostEvent lost(button->GetId());
    button->HandleWindowEvent(lost);
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));
    send(button, wxEVT_LEFT_UP);

    button->Enable(false);
    EXPECT_FALSE(button->frameFlags() & FrameEnabled);
    click(button);
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));

    EXPECT_TRUE(mParentEvents.empty());
    EXPECT_EQ(mCallbacks, 0);
}

TEST_F(ButtonTest, ToggleModeFlipsColoursOnEachClick) {
    Button* button = makeButton(Button::Toggle);
    click(button);
    EXPECT_TRUE(button->isToggled());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::ToggledBackground)));
    EXPECT_EQ(rgb(button->GetForegroundColour()), rgb(mSkin.colour(Skin::ToggledText)));
    click(button);
    EXPECT_FALSE(button->isToggled());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));
    EXPECT_EQ(rgb(button->GetForegroundColour()), rgb(mSkin.colour(Skin::Text)));
    EXPECT_EQ(mParentEvents[button], 2);

    Button* push = makeButton(Button::Push);
    click(push);
    EXPECT_FALSE(push->isToggled());
}

TEST_F(ButtonTest, HoverSetsTheFrameFlagAndTabNeverStops) {
    Button* button = makeButton();
    send(button, wxEVT_ENTER_WINDOW);
    EXPECT_EQ(button->frameFlags(), uint32_t(FrameEnabled | FrameHover));
    send(button, wxEVT_LEAVE_WINDOW);
    EXPECT_EQ(button->frameFlags(), uint32_t(FrameEnabled));
    EXPECT_FALSE(button->AcceptsFocusFromKeyboard());
    EXPECT_EQ(button->GetLabel(), "Next");
    button->SetLabel("Back");
    EXPECT_EQ(button->GetLabel(), "Back");
}

TEST_F(ButtonTest, PushIsAnEnabledFramedPushButtonWithTheSkinAndCallback) {
    Button* button = Button::push(mPanel, mSkin, "Retry", [this] { ++mCallbacks; });
    button->SetSize(62, 24);
    EXPECT_EQ(button->GetLabel(), "Retry");
    EXPECT_EQ(button->frameFlags(), uint32_t(FrameEnabled));
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));
    click(button);
    click(button);
    EXPECT_FALSE(button->isToggled());
    EXPECT_EQ(mCallbacks, 2);
    EXPECT_EQ(mParentEvents[button], 2);
}

TEST_F(ButtonTest, StartsWithTheSkinsColoursAndAScaledMinimumHeight) {
    Button* button = makeButton(Button::Push, false);
    EXPECT_EQ(rgb(button->GetBackgroundColour()), rgb(mSkin.colour(Skin::Background)));
    EXPECT_EQ(rgb(button->GetForegroundColour()), rgb(mSkin.colour(Skin::Text)));
    EXPECT_EQ(button->GetMinSize(), wxSize(-1, scaled(24)));
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->frameFlags(), 0u);
}

// Draws the button as its paint handler does, on a canvas prepared like a paint device context.
Testing::Picture drawn(Button* button) {
    const wxSize size = button->GetClientSize();
    Canvas canvas(size.x, size.y, button->GetBackgroundColour());
    canvas.dc().SetFont(button->GetFont());
    canvas.dc().SetTextForeground(button->GetForegroundColour());
    button->draw(canvas.dc());
    return canvas.picture();
}

TEST_F(ButtonTest, ShowsTheBitmapOfItsState) {
    const wxColour red(255, 0, 0);
    const wxColour green(0, 255, 0);
    Button* both = makeButton(Button::Push, true, solidBitmap(red), solidBitmap(green));
    EXPECT_EQ(drawn(both).at(2, 2), Rgb({255, 0, 0}));
    EXPECT_EQ(drawn(both).at(9, 9), Rgb({255, 0, 0}));
    both->Enable(false);
    EXPECT_EQ(drawn(both).at(2, 2), Rgb({0, 255, 0}));
    both->Enable(true);
    EXPECT_EQ(drawn(both).at(2, 2), Rgb({255, 0, 0}));

    Button* single = makeButton(Button::Push, false, solidBitmap(red), wxNullBitmap);
    EXPECT_EQ(drawn(single).at(2, 2), Rgb({255, 0, 0})) << "no valid disabled bitmap: the normal one";
}

TEST_F(ButtonTest, LabelIsCentredBesideTheBitmapAndGreyWhenDisabledScaled) {
    Button* button = makeButton();
    button->SetSize(scaled(62), scaled(24));
    const Rgb text = rgb(mSkin.colour(Skin::Text));
    wxRect bounds = drawn(button).boundsOf(text);
    ASSERT_FALSE(bounds.IsEmpty());
    const int32_t left = bounds.GetLeft();
    const int32_t right = scaled(62) - 1 - bounds.GetRight();
    EXPECT_NEAR(left, right, 3) << "centred";
    EXPECT_NEAR(bounds.GetTop() + bounds.GetHeight() / 2, scaled(24) / 2 - (isOnePixelTwoOrMore() ? 2 : 0), 3);
    EXPECT_LE(bounds.GetHeight(), scaled(12));

    button->Enable(false);
    EXPECT_TRUE(drawn(button).boundsOf(text).IsEmpty());
    const wxRect grey = drawn(button).boundsOf(Rgb{110, 110, 110});
    ASSERT_FALSE(grey.IsEmpty());
    EXPECT_NEAR(grey.GetLeft(), bounds.GetLeft(), 1);

    Button* withBitmap = makeButton(Button::Push, true, solidBitmap(wxColour(255, 0, 0)));
    withBitmap->SetSize(scaled(62), scaled(24));
    const wxRect beside = drawn(withBitmap).boundsOf(text);
    EXPECT_NEAR(beside.GetLeft() - 8, scaled(62) - 1 - beside.GetRight(), 3) << "centred in what the bitmap leaves";
}

// Shown, then moved by a layout before it paints, as the main window's Next at the end of the
// installation: the platform paints it without erasing it first, and the button still shows its
// skin's background, not what lay under it.
TEST_F(ButtonTest, ShownAndMovedBeforeItPaintsShowsItsOwnBackground) {
    Button* button = makeButton();
    button->Move(10, 10);
    button->Hide();
    mPanel->Update();
    button->Show();
    button->Move(100, 10);
    button->Update();
    const Testing::Picture picture = Testing::paintedPicture(button);
    const wxSize size = button->GetClientSize();
    for (const wxPoint at : {wxPoint(2, 2), wxPoint(size.x - 3, 2), wxPoint(2, size.y - 3),
                             wxPoint(size.x - 3, size.y - 3)}) {
        EXPECT_EQ(picture.at(at.x, at.y), rgb(mSkin.colour(Skin::Background))) << "at " << at.x << ", " << at.y;
    }
    EXPECT_EQ(picture.at(0, 0), Outer) << "and its frame";
}

} // namespace
} // namespace Tarvio::Wx
