#include "tarviodeploy/shared/ui/frameicon.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/icon.h>

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
    const wxIcon icon = frame->GetIcon();
    ASSERT_TRUE(icon.IsOk());
    EXPECT_EQ(icon.GetWidth(), 64);
    EXPECT_EQ(icon.GetHeight(), 64);
    frame->Destroy();
}

} // namespace
} // namespace Tarvio
