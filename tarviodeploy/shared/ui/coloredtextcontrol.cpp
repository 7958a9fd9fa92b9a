#include "tarviodeploy/shared/ui/coloredtextcontrol.h"

#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/core/stopreport.h"

namespace Tarvio {

ColoredTextControl::ColoredTextControl(wxWindow* parent, const wxColour& textColour)
    : Wx::TextControl(parent, wxID_ANY, String(), wxTE_READONLY | wxTE_MULTILINE | wxTE_RICH, 0, -1, -1),
      mTextColour(textColour) {
    SetBackgroundColour(toWxColour(InterfaceColours::textBoxBackground));
    SetForegroundColour(textColour);
    Bind(wxEVT_THREAD, &ColoredTextControl::onMessage, this);
}

void ColoredTextControl::appendText(const String& text, const wxColour& colour) {
    post({text, colour, MessagePayload::Append});
}

void ColoredTextControl::appendDefaultText(const String& text) {
    appendText(text, mTextColour);
}

void ColoredTextControl::replaceLastText(const String& text) {
    post({text, wxColour(), MessagePayload::ReplaceLast});
}

void ColoredTextControl::post(MessagePayload payload) {
    wxThreadEvent* event = new wxThreadEvent(wxEVT_THREAD, wxID_ANY);
    event->SetPayload(std::move(payload));
    QueueEvent(event);
}

void ColoredTextControl::onMessage(wxThreadEvent& event) {
    MessagePayload payload = event.GetPayload<MessagePayload>();
    const bool append = payload.mode == MessagePayload::Append || !mLastAppendPosition;
    if (payload.mode == MessagePayload::ReplaceLast) {
        // Read here, on the main thread, where appends record it.
        payload.colour = mLastColour.IsOk() ? mLastColour : mTextColour;
    } else if (payload.mode != MessagePayload::Append) {
        throwStop("tarviodeploy/shared/ui/coloredtextcontrol", 73);
    }

    wxTextAttr style = GetDefaultStyle();
    style.SetTextColour(payload.colour);
    SetDefaultStyle(style);

    const wxString text(payload.text.text());
    if (append) {
        mLastAppendPosition = static_cast<int32_t>(GetLastPosition());
        AppendText(text);
        mLastColour = payload.colour;
    } else {
        Replace(mLastAppendPosition.value(), GetLastPosition(), text);
    }
}

} // namespace Tarvio
