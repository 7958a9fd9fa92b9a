// Shows every skinned control in each of its states, for screenshots at several screen scales
// (scripts/gallery.sh). Closes itself after the number of seconds given as its argument.

#include "tarviodeploy/shared/ui/coloredtextcontrol.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/wx/controls/button.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"
#include "tarviolib/wx/controls/textbutton.h"
#include "tarviolib/wx/controls/textcontrol.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/timer.h>

#include <chrono>
#include <thread>

namespace Tarvio::Wx {
namespace {

const wxColour PageBackground = toWxColour(InterfaceColours::pageBackground);
const wxColour PageText = toWxColour(InterfaceColours::text);

wxBitmap squareBitmap(const wxColour& colour) {
    const int32_t side = scaled(16);
    wxBitmap bitmap(side, side, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(colour));
    dc.Clear();
    return bitmap;
}

void send(wxWindow* window, wxEventType type) {
    wxMouseEvent event(type);
    event.SetEventObject(window);
    window->HandleWindowEvent(event);
}

StaticText* caption(wxWindow* parent, const String& text) {
    StaticText* label = new StaticText(parent, wxID_ANY, text, 0, FontBold, 90, -1);
    label->SetForegroundColour(PageText);
    return label;
}

class GalleryFrame : public wxFrame {
public:
    GalleryFrame() : wxFrame(nullptr, wxID_ANY, "Controls gallery", wxPoint(0, 0), wxDefaultSize, wxBORDER_NONE) {
        wxPanel* page = new wxPanel(this);
        page->SetBackgroundColour(PageBackground);
        page->SetForegroundColour(PageText);
        wxFlexGridSizer* grid = new wxFlexGridSizer(2, scaled(6), scaled(10));
        const wxSizerFlags cell = wxSizerFlags().CentreVertical();

        // Buttons: normal, hover, pressed, toggled, disabled, with a bitmap.
        const Skin skin = Skin::defaults();
        const wxBitmap icon = squareBitmap(wxColour(39, 147, 255));
        const wxBitmap greyIcon = squareBitmap(wxColour(90, 90, 90));
        wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto button = [&](const String& label, int32_t kind, bool enabled, const wxBitmap& bitmap) {
            Button* made = new Button(page, skin, wxID_ANY, label, bitmap, greyIcon, nullptr, kind, enabled,
                                      FrameEnabled);
            made->SetMinSize(wxSize(scaled(label.size() > 7 ? 80 : 62), scaled(24)));
            buttons->Add(made, wxSizerFlags().Border(wxRIGHT, scaled(6)));
            return made;
        };
        button("Normal", Button::Push, true, wxNullBitmap);
        send(button("Hover", Button::Push, true, wxNullBitmap), wxEVT_ENTER_WINDOW);
        mPressed = button("Pressed", Button::Push, true, wxNullBitmap);
        Button* toggled = button("Toggled", Button::Toggle, true, wxNullBitmap);
        send(toggled, wxEVT_LEFT_DOWN);
        send(toggled, wxEVT_LEFT_UP);
        button("Disabled", Button::Push, false, icon);
        button("Browse", Button::Push, true, icon);
        grid->Add(caption(page, "Buttons"), cell);
        grid->Add(buttons, cell);

        // Static texts: left, centred and right in a 200-pixel box; one wrapped.
        wxBoxSizer* texts = new wxBoxSizer(wxHORIZONTAL);
        for (const long alignment : {long(0), long(wxALIGN_CENTRE_HORIZONTAL), long(wxALIGN_RIGHT)}) {
            StaticText* text = new StaticText(page, wxID_ANY, "Aligned text", alignment, 0, 110, 16);
            text->SetForegroundColour(PageText);
            text->SetBackgroundColour(wxColour(60, 60, 60));
            texts->Add(text, wxSizerFlags().Border(wxRIGHT, scaled(6)));
        }
        StaticText* wrapped = new StaticText(page, wxID_ANY,
                                             "A long static text wrapped again at a new width by rewrap.",
                                             0, FontItalic, -1, -1);
        wrapped->SetForegroundColour(PageText);
        wrapped->rewrap(scaled(160));
        texts->Add(wrapped);
        grid->Add(caption(page, "Static text"), cell);
        grid->Add(texts, cell);

        // Text controls: editable, disabled, read-only.
        wxBoxSizer* boxes = new wxBoxSizer(wxHORIZONTAL);
        TextControl* editable = new TextControl(page, wxID_ANY, "C:/Program Files/Tarvio", 0, 0, 170, -1);
        TextControl* disabled = new TextControl(page, wxID_ANY, "C:/Program Files/Tarvio", 0, 0, 170, -1);
        disabled->Enable(false);
        TextControl* readOnly = new TextControl(page, wxID_ANY, "Read-only", wxTE_READONLY, 0, 120, -1);
        for (TextControl* box : {editable, disabled, readOnly}) {
            box->setSkin(skin);
            boxes->Add(box, wxSizerFlags().Border(wxRIGHT, scaled(6)));
        }
        grid->Add(caption(page, "Text control"), cell);
        grid->Add(boxes, cell);

        // Check boxes: unchecked, checked, focused, disabled, without a label.
        wxBoxSizer* checks = new wxBoxSizer(wxHORIZONTAL);
        auto check = [&](const wxString& label, bool value, bool enabled) {
            CheckBox* made = new CheckBox(page, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, enabled);
            made->SetForegroundColour(PageText);
            made->SetBackgroundColour(PageBackground);
            made->SetValue(value);
            checks->Add(made, wxSizerFlags().Border(wxRIGHT, scaled(12)).CentreVertical());
            return made;
        };
        check("Unchecked", false, true);
        check("Checked", true, true);
        mFocused = check("Focused", true, true);
        check("Disabled", false, false);
        check("", true, true);
        grid->Add(caption(page, "Check box"), cell);
        grid->Add(checks, cell);

        // Text buttons: normal and under the mouse.
        wxBoxSizer* links = new wxBoxSizer(wxHORIZONTAL);
        for (const bool hover : {false, true}) {
            TextButton* link = new TextButton(page, wxID_ANY, hover ? "Link under the mouse" : "Link", nullptr,
                                              wxDefaultPosition, wxDefaultSize);
            link->setNormalColour(PageText);
            link->setHoverColour(wxColour(39, 147, 255));
            if (hover) {
                send(link, wxEVT_ENTER_WINDOW);
            }
            links->Add(link, wxSizerFlags().Border(wxRIGHT, scaled(12)));
        }
        grid->Add(caption(page, "Text button"), cell);
        grid->Add(links, cell);

        // The coloured log, fed from another thread like the installation feeds it.
        mLog = new ColoredTextControl(page, PageText);
        mLog->SetMinSize(scaleSize(560, 110));
        grid->Add(caption(page, "Coloured log"), wxSizerFlags());
        grid->Add(mLog);

        wxBoxSizer* margin = new wxBoxSizer(wxVERTICAL);
        margin->Add(grid, wxSizerFlags().Border(wxALL, scaled(10)));
        page->SetSizer(margin);
        margin->SetSizeHints(this);

        mFeeder = std::thread([log = mLog] {
            log->appendText("Installing LUT bundle... ", PageText);
            log->appendText("done\n", toWxColour(InterfaceColours::success));
            log->appendText("Installing material library... ", PageText);
            log->appendText("Downloading 0%\n", PageText);
            for (int percent = 10; percent <= 100; percent += 10) {
                log->replaceLastText(String("Downloading ") + toString(static_cast<int32_t>(percent)) + "%");
            }
            log->appendText("Material library is outdated\n", toWxColour(InterfaceColours::warning));
            log->appendText("Cannot write file 'C:/x'\n", toWxColour(InterfaceColours::error));
            log->appendText("Operation result: failed\n", toWxColour(InterfaceColours::error));
        });
    }

    ~GalleryFrame() override { mFeeder.join(); }

    // States that need the window on screen.
    void showStates() {
        send(mPressed, wxEVT_LEFT_DOWN);
        mFocused->SetFocus();
    }

private:
    Button* mPressed = nullptr;
    CheckBox* mFocused = nullptr;
    ColoredTextControl* mLog = nullptr;
    std::thread mFeeder;
};

class GalleryApp : public wxApp {
public:
    bool OnInit() override {
        long seconds = 10;
        if (argc > 1) {
            argv[1].ToLong(&seconds);
        }
        GalleryFrame* frame = new GalleryFrame;
        frame->Show();
        frame->showStates();
        mClose.Bind(wxEVT_TIMER, [frame](wxTimerEvent&) { frame->Close(true); });
        mClose.StartOnce(static_cast<int>(seconds * 1000));
        return true;
    }

private:
    wxTimer mClose;
};

} // namespace
} // namespace Tarvio::Wx

wxIMPLEMENT_APP(Tarvio::Wx::GalleryApp);
