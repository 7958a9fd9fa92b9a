#pragma once

// Starts the library once for a test program and gives tests a shown frame to put controls in.

// The toolkit's headers first: they bring windows.h in the order its socket headers need.
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "tests/support/libraryenvironment.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace Tarvio::Testing {

// A shown frame with a panel for the test's controls, destroyed after the test.
class WxFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        mFrame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(0, 0), wxSize(640, 480));
        mPanel = new wxPanel(mFrame);
        mFrame->Show();
    }

    void TearDown() override { delete mFrame; }

    // Runs the events queued so far (thread events, posted refreshes).
    static void processPending() {
        wxTheApp->ProcessPendingEvents();
    }

    wxFrame* mFrame = nullptr;
    wxPanel* mPanel = nullptr;
};

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

inline std::ostream& operator<<(std::ostream& stream, const Rgb& rgb) {
    return stream << "RGB(" << int(rgb.r) << ", " << int(rgb.g) << ", " << int(rgb.b) << ")";
}

// A drawing read back pixel by pixel.
class Picture {
public:
    explicit Picture(const wxImage& image) : mImage(image) {}

    Rgb at(int32_t x, int32_t y) const { return {mImage.GetRed(x, y), mImage.GetGreen(x, y), mImage.GetBlue(x, y)}; }

    // Bounds of the pixels of exactly this colour; empty when there are none.
    wxRect boundsOf(const Rgb& colour) const {
        return boundsWhere([&](int32_t x, int32_t y) { return at(x, y) == colour; });
    }

    // Bounds of the pixels that differ from another picture of the same size.
    wxRect boundsOfChangesFrom(const Picture& other) const {
        return boundsWhere([&](int32_t x, int32_t y) { return at(x, y) != other.at(x, y); });
    }

private:
    template <typename Matches>
    wxRect boundsWhere(Matches matches) const {
        wxRect bounds;
        for (int32_t y = 0; y < mImage.GetHeight(); ++y) {
            for (int32_t x = 0; x < mImage.GetWidth(); ++x) {
                if (matches(x, y)) {
                    bounds = bounds.IsEmpty() ? wxRect(x, y, 1, 1) : bounds.Union(wxRect(x, y, 1, 1));
                }
            }
        }
        return bounds;
    }

    wxImage mImage;
};

// A memory bitmap to draw on, filled with a background colour.
class Canvas {
public:
    Canvas(int32_t width, int32_t height, const wxColour& background) : mBitmap(width, height, 24) {
        mDc.SelectObject(mBitmap);
        mDc.SetBackground(wxBrush(background));
        mDc.Clear();
    }

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    wxMemoryDC& dc() { return mDc; }

    Picture picture() {
        mDc.SelectObject(wxNullBitmap);
        Picture result(mBitmap.ConvertToImage());
        mDc.SelectObject(mBitmap);
        return result;
    }

private:
    wxBitmap mBitmap;
    wxMemoryDC mDc;
};

// What a window shows of its own painting on the screen, read back from its client area.
inline Picture paintedPicture(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    Canvas canvas(size.x, size.y, *wxBLACK);
    wxClientDC dc(window);
    EXPECT_TRUE(canvas.dc().Blit(0, 0, size.x, size.y, &dc, 0, 0));
    return canvas.picture();
}

} // namespace Tarvio::Testing
