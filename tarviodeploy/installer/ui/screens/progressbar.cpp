#include "tarviodeploy/installer/ui/screens/progressbar.h"

#include "tarviodeploy/shared/ui/interfacecolours.h"

#include <wx/dcclient.h>

namespace Tarvio {

ProgressBar::ProgressBar(wxWindow* parent, const wxSize& size)
    : wxWindow(parent, wxID_ANY, wxPoint(0, 0), size, 0, wxS("panel")) {
    SetBackgroundColour(toWxColour(InterfaceColours::stepStrip));
    Bind(wxEVT_PAINT, &ProgressBar::onPaint, this);
    Bind(wxEVT_SIZE, &ProgressBar::onSize, this);
}

ProgressBar::~ProgressBar() = default;

void ProgressBar::setSteps(const Array<String>& names) {
    mSteps.clear();
    for (const String& name : names) {
        mSteps.append(Step{name, wxRect()});
    }
    layoutSteps();
    Refresh();
}

void ProgressBar::setCurrentStep(int32_t index) {
    mCurrentStep = index;
    Refresh();
}

void ProgressBar::layoutSteps() {
    if (mSteps.isEmpty()) {
        return;
    }
    Array<int64_t> textWidths;
    int64_t total = 0;
    for (const Step& step : mSteps) {
        const int64_t width = GetTextExtent(wxString(step.name.text(), step.name.size())).GetWidth();
        textWidths.append(width);
        total += width;
    }
    const wxSize client = GetClientSize();
    const int64_t count = mSteps.size();
    int32_t x = 0;
    for (int32_t i = 0; i < mSteps.size(); ++i) {
        // Names without any width (all empty) share the strip equally instead of dividing by zero.
        const int32_t width = static_cast<int32_t>(total > 0 ? textWidths[i] * client.GetWidth() / total
                                                             : client.GetWidth() / count);
        mSteps[i].cell = wxRect(x, 0, width, client.GetHeight());
        x += width;
    }
    // The remainders of the divisions go to the last cell, so that the cells fill the strip.
    mSteps[mSteps.size() - 1].cell.width += client.GetWidth() - x;
}

void ProgressBar::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    draw(dc);
}

void ProgressBar::draw(wxDC& dc) const {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(toWxColour(InterfaceColours::stepReached)));
    dc.SetFont(GetFont());
    for (int32_t i = 0; i < mSteps.size(); ++i) {
        const Step& step = mSteps[i];
        if (i <= mCurrentStep) {
            dc.DrawRectangle(step.cell);
            dc.SetTextForeground(*wxBLACK);
        } else {
            dc.SetTextForeground(toWxColour(InterfaceColours::text));
        }
        dc.DrawLabel(wxString(step.name.text(), step.name.size()), wxNullBitmap, step.cell, wxALIGN_CENTER, -1);
    }
}

void ProgressBar::onSize(wxSizeEvent& event) {
    layoutSteps();
    Refresh();
    event.Skip();
}

} // namespace Tarvio
