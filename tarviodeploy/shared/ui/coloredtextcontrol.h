#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/colour.h>
#include <wx/event.h>

#include <cstdint>

namespace Tarvio {

// One change of a ColoredTextControl, carried to the main thread in a thread event.
struct MessagePayload {
    enum Mode : int32_t {
        Append = 0,
        ReplaceLast = 1,
    };

    String text;
    wxColour colour; // not set for ReplaceLast: the main thread takes the last appended colour
    int32_t mode;
};

// The read-only coloured log. It can be fed from any thread: each change is posted to the control
// and applied on the main thread, in the order posted.
class ColoredTextControl : public Wx::TextControl {
public:
    ColoredTextControl(wxWindow* parent, const wxColour& textColour);

    void appendText(const String& text, const wxColour& colour);
    void appendDefaultText(const String& text);

    // Replaces the text appended last, in the colour it was appended in. Before any append it
    // appends.
    void replaceLastText(const String& text);

private:
    void post(MessagePayload payload);
    void onMessage(wxThreadEvent& event);

    Optional<int32_t> mLastAppendPosition;
    wxColour mLastColour;
    wxColour mTextColour;
};

} // namespace Tarvio
