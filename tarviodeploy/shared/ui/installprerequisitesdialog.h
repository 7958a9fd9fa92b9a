#pragma once

#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/draggablemixin.h"

#include <wx/dialog.h>

class wxColour;

namespace Tarvio {

class ColoredTextControl;
class DeploymentEnvironment;

namespace Wx {
class Button;
}

// The borderless dark dialog that lists unmet prerequisites and ends with wxID_RETRY, wxID_IGNORE
// or wxID_ABORT; dragged by its background, since it has no title bar.
class InstallPrerequisitesDialog : public Wx::DraggableMixin<wxDialog> {
public:
    // Without an environment (a null pointer, or one pointing to null) the dialog has no logo.
    InstallPrerequisitesDialog(wxWindow* parent, DeploymentEnvironment* const* environment);

    void appendText(const String& text, const wxColour& colour);
    // The text and a line end, in the list's default colour.
    void appendLine(const String& text);

private:
    DeploymentEnvironment* const* mEnvironment;
    Wx::Button* mRetryButton = nullptr;
    Wx::Button* mIgnoreButton = nullptr;
    Wx::Button* mAbortButton = nullptr;
    ColoredTextControl* mLog = nullptr;
};

} // namespace Tarvio
