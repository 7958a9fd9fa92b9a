#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include "tests/support/labelglyphs.h"
#include "tests/tarviolib/wx/controls/wxtesting.h"

#include <gtest/gtest.h>

namespace Tarvio::Wx {
namespace {

using Testing::Canvas;
using Testing::Rgb;

const char* const LongText =
    "The renderer plug-in goes into every detected 3ds Max version, and the side programs go into "
    "the product folder under the program-files folder of 64-bit Windows.";

// Draws the label as the paint handler does, on a canvas prepared like a paint device context.
Testing::Picture drawn(StaticText* text) {
    const wxSize size = text->GetClientSize();
    Canvas canvas(size.x, size.y, wxColour(0, 0, 0));
    canvas.dc().SetFont(text->GetFont());
    canvas.dc().SetTextForeground(text->GetForegroundColour());
    text->draw(canvas.dc());
    return canvas.picture();
}

using StaticTextTest = Testing::WxFrameTest;

TEST_F(StaticTextTest, RewrapStartsFromTheUnwrappedText) {
    StaticText* text = new StaticText(mPanel, wxID_ANY, LongText, 0, 0, -1, -1);
    StaticText* once = new StaticText(mPanel, wxID_ANY, LongText, 0, 0, -1, -1);
    text->rewrap(300);
    const wxString at300 = text->GetLabel();
    EXPECT_NE(at300.Find('\n'), wxNOT_FOUND) << "wrapped";
    text->rewrap(500);
    once->Wrap(500);
    EXPECT_EQ(text->GetLabel(), once->GetLabel());
    text->rewrap(300);
    EXPECT_EQ(text->GetLabel(), at300);

    text->SetLabel("Short and new");
    text->rewrap(300);
    EXPECT_EQ(text->GetLabel(), "Short and new");
}

// Wrap cannot break a line whose first word is wider than the width: the rest of the line stays
// after that word, and narrowing the wrap for it would only break every other line too narrow.
// A width of 0 or less wraps nothing, after any earlier wrap.
TEST_F(StaticTextTest, RewrapBreaksOnlyLinesThatANarrowerWrapCanShorten) {
    // A checksum of 62 characters, wider than the label: the lines before it stay as without it.
    const wxString token = wxS("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a");
    StaticText* plain = new StaticText(mPanel, wxID_ANY, LongText, 0, 0, -1, -1);
    ASSERT_GT(plain->GetTextExtent(token).x, 379);
    plain->rewrap(379);
    const wxString twoLines = wxS("Installation has been finished.\nSee the log for details.");
    const struct {
        const char* name;
        wxString text;
        int32_t width;
        wxString expected;
    } cases[] = {
        {"a token wider than the label", wxString(LongText) + " " + token + " ab", 379,
         plain->GetLabel() + "\n" + token + " ab"},
        {"width 0", LongText, 0, LongText},
        {"width -1", LongText, -1, LongText},
        {"width 0 keeps the text's own breaks", twoLines, 0, twoLines},
    };
    for (const auto& c : cases) {
        StaticText* label = new StaticText(mPanel, wxID_ANY, String(c.text.wc_str()), 0, 0, -1, -1);
        label->rewrap(100);
        ASSERT_NE(label->GetLabel(), c.text) << c.name << ": wrapped before";
        label->rewrap(c.width);
        EXPECT_EQ(label->GetLabel().ToStdString(), c.expected.ToStdString()) << c.name;
    }
}

// Under Wine some glyphs are drawn about a pixel wider than they measure ("m"), so a label as wide
// as its measured text would cut its end off.
TEST_F(StaticTextTest, IsAsWideAsItsTextIsDrawnAndWrapsItsLinesToFit) {
    const wchar_t* const texts[] = {L"Some unmet prerequisites occurred:", L"64-bit operating system: ",
                                    L"mmmmmmmmmmmmmmmmmmmmmmmmmmmmmm:", L"OK"};
    for (const wchar_t* text : texts) {
        StaticText* label = new StaticText(mPanel, wxID_ANY, text, 0, 0, -1, -1);
        label->SetSize(label->GetBestSize());
        Testing::expectWholeLabel(*label);
    }
    // Wrapped at 200, each line is drawn within the 200 pixels.
    StaticText* wrapped =
        new StaticText(mPanel, wxID_ANY, L"mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm mmmm:", 0, 0, -1, -1);
    wrapped->rewrap(200);
    wrapped->SetSize(wxSize(200, wrapped->GetBestSize().y));
    EXPECT_NE(wrapped->GetLabel().Find(wxS('\n')), wxNOT_FOUND);
    EXPECT_LE(wrapped->GetBestSize().x, 200);
    Testing::expectWholeLabel(*wrapped);
}

TEST_F(StaticTextTest, SizeIsScaledAndFontIsTheControlFontScaled) {
    StaticText* sized = new StaticText(mPanel, wxID_ANY, "Path", 0, FontBold, 200, 20);
    EXPECT_EQ(sized->GetMinSize(), wxSize(scaled(200), scaled(20))) << "what sizers give it";
    EXPECT_EQ(sized->GetFont().GetPixelSize().y, scaled(12));
    EXPECT_EQ(sized->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(sized->GetName(), "staticText");

    StaticText* free = new StaticText(mPanel, wxID_ANY, "Path", 0, 0, -1, -1);
    EXPECT_EQ(free->GetSize(), free->GetBestSize()) << "the toolkit's size";
}

TEST_F(StaticTextTest, DrawsInItsForegroundColourAlignedAsItsStyleSays) {
    const Rgb colour{190, 190, 190};
    StaticText* left = new StaticText(mPanel, wxID_ANY, "Installation", 0, 0, 200, 20);
    StaticText* right = new StaticText(mPanel, wxID_ANY, "Installation", wxALIGN_RIGHT, 0, 200, 20);
    StaticText* centre = new StaticText(mPanel, wxID_ANY, "Installation", wxALIGN_CENTRE_HORIZONTAL, 0, 200, 20);
    for (StaticText* text : {left, right, centre}) {
        text->SetForegroundColour(wxColour(colour.r, colour.g, colour.b));
        text->SetSize(text->GetMinSize()); // as a sizer lays it out
    }
    const int32_t width = scaled(200);
    const wxRect atLeft = drawn(left).boundsOf(colour);
    const wxRect atRight = drawn(right).boundsOf(colour);
    const wxRect atCentre = drawn(centre).boundsOf(colour);
    ASSERT_FALSE(atLeft.IsEmpty());
    EXPECT_LE(atLeft.GetLeft(), 2);
    EXPECT_GE(atRight.GetRight(), width - 3);
    EXPECT_NEAR(atCentre.GetLeft(), width - 1 - atCentre.GetRight(), 3);
    EXPECT_EQ(atLeft.GetWidth(), atRight.GetWidth());
}

using TextControlTest = Testing::WxFrameTest;

TEST_F(TextControlTest, ReadOnlyBoxesAreLeftOutOfTab) {
    TextControl* log =
        new TextControl(mPanel, wxID_ANY, "", wxTE_READONLY | wxTE_MULTILINE | wxTE_RICH, 0, -1, -1);
    EXPECT_EQ(log->GetWindowStyleFlag() & 176, 176) << "the log's style";
    EXPECT_FALSE(log->AcceptsFocusFromKeyboard());
    TextControl* path = new TextControl(mPanel, wxID_ANY, "C:/Tarvio", 0, 0, -1, -1);
    EXPECT_TRUE(path->AcceptsFocusFromKeyboard());
    TextControl* multi = new TextControl(mPanel, wxID_ANY, "", wxTE_MULTILINE, 0, -1, -1);
    EXPECT_TRUE(multi->AcceptsFocusFromKeyboard());
}

TEST_F(TextControlTest, SizeSkinAndFontScaled) {
    TextControl* sized = new TextControl(mPanel, wxID_ANY, "x", 0, FontItalic, 200, 24);
    EXPECT_EQ(sized->GetSize(), wxSize(scaled(200), scaled(24)));
    EXPECT_EQ(sized->GetFont().GetPixelSize().y, scaled(12));
    EXPECT_EQ(sized->GetFont().GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_EQ(sized->GetName(), "text");

    const wxColour before = sized->GetBackgroundColour();
    EXPECT_EQ(sized->skin().colour(Skin::DisabledText), wxColour(110, 110, 110)) << "the default skin";
    EXPECT_EQ(sized->GetBackgroundColour(), before) << "not applied at construction";
    Skin skin = Skin::defaults();
    skin.rgb[Skin::Text][0] = 10;
    sized->setSkin(skin);
    EXPECT_EQ(sized->GetForegroundColour(), wxColour(10, 200, 200));
    EXPECT_EQ(sized->GetBackgroundColour(), wxColour(68, 68, 68));
}

TEST_F(TextControlTest, DisabledBoxDrawsItsValueInTheSkinsDisabledColourScaled) {
    TextControl* box = new TextControl(mPanel, wxID_ANY, "C:/Program Files/Tarvio", 0, 0, 200, 24);
    box->Enable(false);
    Canvas canvas(scaled(200), scaled(24), wxColour(68, 68, 68));
    canvas.dc().SetFont(box->GetFont());
    box->drawDisabled(canvas.dc());
    const wxRect text = canvas.picture().boundsOf(Rgb{110, 110, 110});
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_GE(text.GetLeft(), scaled(3));
    EXPECT_LE(text.GetLeft(), scaled(3) + 2);
    EXPECT_LE(text.GetTop(), scaled(12));
}

} // namespace
} // namespace Tarvio::Wx
