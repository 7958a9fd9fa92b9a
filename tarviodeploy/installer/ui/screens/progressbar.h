#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/string.h"

#include <wx/dc.h>
#include <wx/window.h>

#include <cstdint>

namespace Tarvio {

// The wizard's step indicator: one strip with a cell per step, each as wide as its share of the
// names' text widths, the steps up to the current one filled in the accent colour.
class ProgressBar : public wxWindow {
public:
    struct Step {
        String name;
        // In client coordinates.
        wxRect cell;
    };

    // The main window passes width -1 (left to its sizer) and height 20.
    ProgressBar(wxWindow* parent, const wxSize& size);
    ~ProgressBar() override;

    void setSteps(const Array<String>& names);
    // Any index: one beyond the last fills every cell, a negative one none.
    void setCurrentStep(int32_t index);

    const Array<Step>& steps() const { return mSteps; }
    int32_t currentStep() const { return mCurrentStep; }
    // What the paint handler draws over the background: the filled cells and every name.
    void draw(wxDC& dc) const;

private:
    void layoutSteps();
    void onPaint(wxPaintEvent& event);
    void onSize(wxSizeEvent& event);

    Array<Step> mSteps;
    int32_t mCurrentStep = 0;
};

} // namespace Tarvio
