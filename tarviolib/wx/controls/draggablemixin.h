#pragma once

#include <wx/event.h>
#include <wx/window.h>

#include <utility>

namespace Tarvio::Wx {

namespace Detail {
// Where the pointer last moved without dragging, in the client coordinates of the window it was
// over: one for the whole program, shared by every draggable window.
inline wxPoint dragAnchor;
} // namespace Detail

// A top-level window without a title bar, moved by dragging its background with the left button.
template <typename Window>
class DraggableMixin : public Window {
public:
    template <typename... Arguments>
    explicit DraggableMixin(Arguments&&... arguments) : Window(std::forward<Arguments>(arguments)...) {
        this->Bind(wxEVT_LEFT_DOWN, &DraggableMixin::onLeftDown, this);
        this->Bind(wxEVT_LEFT_UP, &DraggableMixin::onLeftUp, this);
        this->Bind(wxEVT_MOUSE_CAPTURE_LOST, &DraggableMixin::onMouseCaptureLost, this);
        this->Bind(wxEVT_MOTION, &DraggableMixin::onMotion, this);
    }

private:
    void onLeftDown(wxMouseEvent&) {
        mDragging = true;
        this->CaptureMouse();
    }

    void onLeftUp(wxMouseEvent&) {
        if (mDragging) {
            mDragging = false;
            this->ReleaseMouse();
        }
    }

    void onMouseCaptureLost(wxMouseCaptureLostEvent&) {
        mDragging = false;
        if (this->HasCapture()) {
            this->ReleaseMouse();
        }
    }

    void onMotion(wxMouseEvent& event) {
        if (mDragging) {
            this->Move(this->GetPosition() + event.GetPosition() - Detail::dragAnchor);
        } else {
            Detail::dragAnchor = event.GetPosition();
        }
    }

    bool mDragging = false;
};

} // namespace Tarvio::Wx
