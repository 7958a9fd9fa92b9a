#include "tarviodeploy/installer/ui/screens/optionsscreen.h"

#include "tarviodeploy/installer/installer.h"
#include "tarviodeploy/installer/ui/screens/pathbrowser.h"
#include "tarviodeploy/shared/sse41support.h"
#include "tarviodeploy/shared/ui/interfacecolours.h"
#include "tarviolib/wx/controls/checkbox.h"
#include "tarviolib/wx/controls/screenscaling.h"
#include "tarviolib/wx/controls/statictext.h"

#include <wx/sizer.h>

namespace Tarvio {

namespace {

// The component's caption; its state is the component's selection and follows every change.
Wx::CheckBox* createCheckBox(wxWindow* parent, Component& component) {
    const String caption = component.caption();
    Wx::CheckBox* checkBox = new Wx::CheckBox(parent, wxID_ANY, wxString(caption.text(), caption.size()),
                                              wxDefaultPosition, wxDefaultSize, true);
    checkBox->setOnChange(Function<void(bool)>([&component](bool checked) { component.setSelected(checked); }));
    checkBox->SetFont(checkBox->GetFont());
    checkBox->SetBackgroundColour(toWxColour(InterfaceColours::pageBackground));
    checkBox->SetForegroundColour(toWxColour(InterfaceColours::text));
    checkBox->SetValue(component.selected());
    return checkBox;
}

} // namespace

OptionsScreen::OptionsScreen(wxWindow* parent, Installer& installer) : ScreenBase(parent) {
    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    if (!isSse41Supported()) {
        Wx::StaticText* notice = createColouredText(
            L"Some components have been disabled because your CPU does not support SSE4.1 instruction set.",
            toWxColour(InterfaceColours::warning));
        wrapOnSize(notice);
        sizer->Add(notice, 0, 0);
        sizer->AddSpacer(10);
    }
    Wx::StaticText* heading = createText(L"Please select plugins and utilities to install:");
    wrapOnSize(heading);
    sizer->Add(heading, 0, 0);
    sizer->AddSpacer(10);

    installer.forEachCategory(Function<void(ComponentCategory&)>([&](ComponentCategory& category) {
        switch (category.layout()) {
        case CategoryLayout::CheckBoxGrid: {
            wxGridSizer* grid = new wxGridSizer(4, 0, 0);
            category.forEachComponent(Function<void(Component&)>([&](Component& component) {
                grid->Add(createCheckBox(this, component), 0, wxRIGHT | wxBOTTOM, 10);
            }));
            sizer->Add(grid, 0, 0);
            break;
        }
        case CategoryLayout::CheckBoxesWithPaths: {
            wxFlexGridSizer* grid = new wxFlexGridSizer(2, 0, 0);
            grid->AddGrowableCol(1, 1);
            category.forEachComponent(Function<void(Component&)>([&](Component& component) {
                grid->Add(createCheckBox(this, component), 0, wxALIGN_CENTER_VERTICAL);
                PathBrowser* browser =
                    new PathBrowser(this, wxDefaultPosition, wxDefaultSize, component.targetDirectory());
                browser->setPathChanged(Function<void(const Io::Path&)>(
                    [&component](const Io::Path& path) { component.setTargetDirectory(path); }));
                grid->Add(browser, 1, wxEXPAND | wxLEFT | wxBOTTOM, 5);
            }));
            sizer->Add(grid, 1, wxEXPAND);
            break;
        }
        }
    }));
    SetSizer(sizer);
}

} // namespace Tarvio
