#include "tarviodeploy/shared/ui/frameicon.h"

// The toolkit's headers first: they bring windows.h in the order its socket headers need.
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace Tarvio {
namespace {

TEST(FrameIcon, IsTheProgramsOwn64By64Picture) {
    // The bytes compiled into the program are a PNG picture of 64 x 64 pixels.
    const std::string png(reinterpret_cast<const char*>(WindowIconPng), static_cast<std::size_t>(WindowIconPngSize));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x40", 8));

    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "icon");
    setFrameIcon(*frame);
    // The frame's GetIcon() answers only an icon of the system's icon size (32 x 32 at 96 DPI), so
    // the frame's icons are asked: the one picture at its own size.
    const wxIconBundle& icons = frame->GetIcons();
    ASSERT_EQ(icons.GetIconCount(), 1u);
    const wxIcon icon = icons.GetIconByIndex(0);
    ASSERT_TRUE(icon.IsOk());
    EXPECT_EQ(icon.GetWidth(), 64);
    EXPECT_EQ(icon.GetHeight(), 64);
    // The window shows it as its large and small icon; the system scales it for display.
    const HWND window = frame->GetHWND();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), icon.GetHICON());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), icon.GetHICON());

    // Its pixels are the picture's, transparent corners included.
    wxMemoryInputStream stream(WindowIconPng, static_cast<std::size_t>(WindowIconPngSize));
    const wxImage picture(stream, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(picture.IsOk());
    wxBitmap bitmap;
    ASSERT_TRUE(bitmap.CopyFromIcon(icon));
    const wxImage shown = bitmap.ConvertToImage();
    ASSERT_TRUE(shown.HasAlpha());
    int differing = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool same = shown.GetAlpha(x, y) == picture.GetAlpha(x, y) &&
                              (picture.GetAlpha(x, y) == 0 ||
                               (shown.GetRed(x, y) == picture.GetRed(x, y) && shown.GetGreen(x, y) == picture.GetGreen(x, y) &&
                                shown.GetBlue(x, y) == picture.GetBlue(x, y)));
            differing += same ? 0 : 1;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(picture.GetAlpha(0, 0), 0);
    EXPECT_EQ(picture.GetAlpha(32, 32), 255);
    frame->Destroy();
}

} // namespace
} // namespace Tarvio
