#include "tarviodeploy/installer/ui/screens/progressbar.h"

#include <wx/dcmemory.h>
#include <wx/frame.h>

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

const wxColour filled(220, 79, 43);
const wxColour strip(77, 77, 77);

Array<String> stepNames(std::initializer_list<const wchar_t*> names) {
    Array<String> steps;
    for (const wchar_t* name : names) {
        steps.append(name);
    }
    return steps;
}

class ProgressBarTest : public testing::Test {
protected:
    ProgressBarTest() : mFrame(new wxFrame(nullptr, wxID_ANY, wxS("steps"))) {
        mBar = new ProgressBar(mFrame, wxSize(-1, 20));
        mBar->SetSize(0, 0, 379, 20);
    }
    ~ProgressBarTest() override { delete mFrame; }

    // The strip as the paint handler draws it: "#" for a filled cell's middle pixel, "." for an
    // unfilled one.
    std::string painted() const {
        wxBitmap bitmap(mBar->GetClientSize());
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(strip));
        dc.Clear();
        mBar->draw(dc);
        std::string cells;
        for (const ProgressBar::Step& step : mBar->steps()) {
            wxColour pixel;
            // Left of the centred name, which covers the middle.
            dc.GetPixel(step.cell.x + 1, step.cell.y + step.cell.height / 2, &pixel);
            cells += pixel == filled ? "#" : (pixel == strip ? "." : "?");
        }
        return cells;
    }

    int32_t cellsWidth() const {
        int32_t width = 0;
        for (const ProgressBar::Step& step : mBar->steps()) {
            width += step.cell.width;
        }
        return width;
    }

    wxFrame* mFrame;
    ProgressBar* mBar;
};

TEST_F(ProgressBarTest, FillsTheStepsUpToTheCurrentOne) {
    mBar->setSteps(stepNames({L"Welcome", L"Install Type", L"Options", L"Installation", L"Summary"}));
    const struct {
        int32_t current;
        const char* cells;
    } cases[] = {{0, "#...."}, {2, "###.."}, {4, "#####"}, {5, "#####"}, {-1, "....."}};
    for (const auto& test : cases) {
        mBar->setCurrentStep(test.current);
        EXPECT_EQ(painted(), test.cells) << test.current;
    }
}

TEST_F(ProgressBarTest, CellsShareTheWidthByTheirNamesAndFillTheStrip) {
    mBar->setSteps(stepNames({L"Welcome", L"Install Type", L"Options", L"Installation", L"Summary"}));
    for (const int width : {379, 1000, 57}) {
        mBar->SetSize(0, 0, width, 20);
        const Array<ProgressBar::Step>& steps = mBar->steps();
        int64_t total = 0;
        for (const ProgressBar::Step& step : steps) {
            total += mBar->GetTextExtent(wxString(step.name.text())).GetWidth();
        }
        int32_t x = 0;
        for (int32_t i = 0; i < steps.size(); ++i) {
            const int64_t share = mBar->GetTextExtent(wxString(steps[i].name.text())).GetWidth() * width / total;
            EXPECT_EQ(steps[i].cell.x, x) << width << " " << i;
            EXPECT_EQ(steps[i].cell.height, 20);
            if (i + 1 < steps.size()) {
                EXPECT_EQ(steps[i].cell.width, share) << width << " " << i;
            } else {
                EXPECT_GE(steps[i].cell.width, share) << "the remainder goes to the last cell";
            }
            x += steps[i].cell.width;
        }
        EXPECT_EQ(x, width);
    }
}

TEST_F(ProgressBarTest, NamesWithoutWidthShareTheStripEqually) {
    mBar->setSteps(stepNames({L"", L"", L""}));
    const Array<ProgressBar::Step>& steps = mBar->steps();
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(steps[0].cell.width, 126);
    EXPECT_EQ(steps[1].cell.width, 126);
    EXPECT_EQ(steps[2].cell.width, 127);
    EXPECT_EQ(cellsWidth(), 379);
    mBar->setSteps(Array<String>());
    EXPECT_EQ(mBar->steps().size(), 0);
    EXPECT_EQ(painted(), "");
}

} // namespace
} // namespace Tarvio
