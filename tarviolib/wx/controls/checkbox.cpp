#include "tarviolib/wx/controls/checkbox.h"

#include "tarviolib/wx/controls/rawaborder.h"
#include "tarviolib/wx/controls/screenscaling.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>

namespace Tarvio::Wx {

namespace {

wxSize checkBoxSize(const wxString& label, const wxSize& size) {
    wxSize result = size;
    if (!label.empty() && size.y == -1) {
        result.y = 15;
    } else if (label.empty() && size == wxDefaultSize) {
        result = wxSize(15, 15);
    }
    return scaleSize(result.x, result.y);
}

} // namespace

CheckBox::CheckBox(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& position,
                   const wxSize& size, bool enabled) {
    // It wants every key, so that Tab reaches its own navigation instead of the dialog's.
    Create(parent, id, label, position, checkBoxSize(label, size), wxWANTS_CHARS, wxDefaultValidator, "check");
    makeOwnerDrawn();
    Bind(wxEVT_CHECKBOX, &CheckBox::onChange, this);
    Bind(wxEVT_PAINT, &CheckBox::onPaint, this);
    Bind(wxEVT_KILL_FOCUS, &CheckBox::onKillFocus, this);
    Bind(wxEVT_KEY_DOWN, &CheckBox::onKeyDown, this);
    Bind(wxEVT_KEY_UP, &CheckBox::onKeyUp, this);
    Enable(enabled);
}

bool CheckBox::SetFont(const wxFont& font) {
    return wxCheckBox::SetFont(atControlHeight(font));
}

void CheckBox::draw(wxDC& dc) {
    const int32_t box = scaled(15);
    drawFrame(dc, 0, 0, box, box, FrameEnabled);

    dc.SetPen(*wxWHITE_PEN);
    wxGraphicsContext* graphics = wxGraphicsContext::CreateFromUnknownDC(dc);
    if (!graphics) {
        return;
    }
    if (GetValue()) {
        wxGraphicsPath tick = graphics->CreatePath();
        const wxPoint points[] = {{3, 7}, {6, 10}, {11, 3}, {6, 9}};
        tick.MoveToPoint(scaled(points[0].x), scaled(points[0].y));
        for (int32_t i = 1; i < 4; ++i) {
            tick.AddLineToPoint(scaled(points[i].x), scaled(points[i].y));
        }
        tick.CloseSubpath();
        graphics->SetPen(*wxWHITE_PEN);
        graphics->StrokePath(tick);
    }

    graphics->SetFont(installedFont(dc), dc.GetTextForeground());
    const wxString label = wxControl::RemoveMnemonics(GetLabel());
    graphics->DrawText(label, scaled(18), isOnePixelTwoOrMore() ? -3 : -1);

    if (HasFocus()) {
        wxPen pen = dc.GetPen();
        pen.SetWidth(scaled(1));
        pen.SetColour(dc.GetTextForeground());
        static wxDash fine[] = {1, 2};
        static wxDash coarse[] = {2, 1};
        if (isOnePixelTwoOrMore()) {
            pen.SetDashes(2, coarse);
        } else {
            pen.SetDashes(2, fine);
        }
        pen.SetStyle(wxPENSTYLE_USER_DASH);
        graphics->SetPen(pen);
        const wxSize text = dc.GetTextExtent(label);
        graphics->DrawRectangle(scaled(17), 0, text.x + scaled(2), text.y - scaled(1));
    }
    delete graphics;
}

void CheckBox::onChange(wxCommandEvent& event) {
    if (mOnChange) {
        mOnChange(GetValue());
    }
    Refresh(true);
    event.Skip();
}

void CheckBox::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    draw(dc);
}

void CheckBox::onKillFocus(wxFocusEvent& event) {
    Refresh(true);
    event.Skip();
}

void CheckBox::onKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_TAB) {
        mTabPressed = true;
    }
    event.Skip();
}

void CheckBox::onKeyUp(wxKeyEvent& event) {
    event.Skip();
    if (mTabPressed) {
        mTabPressed = false;
        moveFocus(!event.ShiftDown());
        Refresh(true);
    }
}

void CheckBox::moveFocus(bool forward) {
    const wxWindowList& siblings = GetParent()->GetChildren();
    wxWindowList::compatibility_iterator self = siblings.Find(this);
    wxWindowList::compatibility_iterator node = self;
    for (;;) {
        node = forward ? node->GetNext() : node->GetPrevious();
        if (!node) {
            node = forward ? siblings.GetFirst() : siblings.GetLast();
        }
        if (node == self) {
            return;
        }
        wxWindow* window = node->GetData();
        if (dynamic_cast<Focusable*>(window) && window->AcceptsFocus() && window->IsShown() &&
            window->IsEnabled()) {
            window->SetFocus();
            return;
        }
    }
}

} // namespace Tarvio::Wx
