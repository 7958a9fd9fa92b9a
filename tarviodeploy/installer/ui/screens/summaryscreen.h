#pragma once

#include "tarviodeploy/installer/ui/screens/screenbase.h"
#include "tarviodeploy/shared/operationresult.h"

namespace Tarvio {

namespace Wx {
class TextControl;
}

// Page 4: the installation's result in colour and three links to the maker's web site.
class SummaryScreen : public ScreenBase {
public:
    explicit SummaryScreen(wxWindow* parent);

    // The result's sentence and colour, followed by the minimal-requirements sentence (in the error
    // colour) on an unsupported system.
    void showResult(OperationResult result);

    Wx::TextControl& resultText() const { return *mResultText; }

private:
    Wx::TextControl* mResultText;
};

} // namespace Tarvio
