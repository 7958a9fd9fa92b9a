#include "tarviolib/wx/controls/screenscaling.h"

#include "tests/support/dpitesting.h"
#include "tests/tarviolib/wx/controls/wxtesting.h"

#include <gtest/gtest.h>

#include <wx/settings.h>

namespace Tarvio::Wx {
namespace {

using Testing::screenDpi;

TEST(ScreenScaling, LengthsFollowTheScreenRoundedToNearest) {
    struct Case {
        int32_t written;
        int32_t scaled[3]; // at 96, 120, 144 DPI
    };
    const Case cases[] = {
        {1, {1, 1, 2}},       // 1.25 down, 1.5 up
        {3, {3, 4, 5}},       // 3.75 up, 4.5 up
        {12, {12, 15, 18}},
        {15, {15, 19, 23}},   // 18.75 and 22.5 up
        {18, {18, 23, 27}},   // 22.5 up
        {24, {24, 30, 36}},
        {200, {200, 250, 300}},
        {-1, {-1, -1, -1}},   // the toolkit's default size stays
    };
    ASSERT_TRUE(Testing::screenIsAsAsked()) << "the screen is at " << screenDpi() << " DPI";
    const int at = Testing::dpiColumn();
    for (const Case& c : cases) {
        EXPECT_EQ(scaled(c.written), c.scaled[at]) << c.written << " at " << screenDpi() << " DPI";
    }
    EXPECT_EQ(scaleSize(-1, 24), wxSize(-1, cases[5].scaled[at]));
    EXPECT_EQ(scaleSize(200, -1), wxSize(cases[6].scaled[at], -1));
    EXPECT_EQ(isOnePixelTwoOrMore(), at == 2);
}

TEST(ScreenScaling, ControlFontIsTwelveScaledPixelsAndTakesOnlyTheAskedStyle) {
    wxFont source = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    source.MakeBold().MakeItalic().MakeUnderlined().MakeStrikethrough();

    const wxFont plain = makeFont(source, 0);
    EXPECT_EQ(plain.GetPixelSize().y, scaled(12));
    EXPECT_EQ(plain.GetWeight(), wxFONTWEIGHT_NORMAL);
    EXPECT_EQ(plain.GetStyle(), wxFONTSTYLE_NORMAL);
    EXPECT_FALSE(plain.GetUnderlined());
    EXPECT_FALSE(plain.GetStrikethrough());
    EXPECT_EQ(plain.GetFaceName(), source.GetFaceName());

    const wxFont both = makeFont(source, FontBold | FontItalic);
    EXPECT_EQ(both.GetPixelSize().y, scaled(12));
    EXPECT_EQ(both.GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(both.GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_FALSE(both.GetUnderlined());

    EXPECT_EQ(makeFont(source, FontItalic).GetWeight(), wxFONTWEIGHT_NORMAL);
    EXPECT_EQ(makeFont(source, FontBold).GetStyle(), wxFONTSTYLE_NORMAL);

    // The height alone, for the controls that keep their font's style.
    const wxFont sized = atControlHeight(source);
    EXPECT_EQ(sized.GetPixelSize().y, scaled(12));
    EXPECT_EQ(sized.GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(sized.GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_TRUE(sized.GetUnderlined());
}

// Every test whose name ends in "Scaled" checks a table for the screen it runs on; this one runs
// them again at 120 and 144 DPI.
TEST(ScreenScaling, ScaledTablesHoldAt120And144Dpi) {
    if (screenDpi() != 96) {
        GTEST_SKIP() << "runs from the 96-DPI run only";
    }
    for (const int dpi : {120, 144}) {
        EXPECT_EQ(Testing::runAtDpi(dpi, "ScreenScaling.Lengths*:ScreenScaling.ControlFont*:*Scaled*"), 0)
            << "at " << dpi << " DPI";
    }
}

} // namespace
} // namespace Tarvio::Wx
