#pragma once

#include "tarviolib/core/function.h"
#include "tarviolib/io/path.h"

#include <wx/panel.h>

namespace Tarvio {

namespace Wx {
class Button;
class TextControl;
}

// A folder chooser: a text field with the folder and a "Browse" button that opens the system's
// folder dialog. Reports each new folder through its callback; the text is not validated.
class PathBrowser : public wxPanel {
public:
    PathBrowser(wxWindow* parent, const wxPoint& position, const wxSize& size, const Io::Path& initial);

    // The text field's current value as a path.
    Io::Path path() const;
    // Called with the new path once per change of the text, typed, pasted or set by "Browse".
    void setPathChanged(const Function<void(const Io::Path&)>& callback) { mPathChanged = callback; }

    Wx::TextControl& textField() const { return *mTextField; }
    Wx::Button& browseButton() const { return *mBrowseButton; }

private:
    void onTextChanged(wxCommandEvent& event);
    void browse();

    Wx::TextControl* mTextField;
    Function<void(const Io::Path&)> mPathChanged;
    Wx::Button* mBrowseButton;
};

} // namespace Tarvio
