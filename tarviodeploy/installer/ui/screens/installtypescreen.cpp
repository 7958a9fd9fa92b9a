#include "tarviodeploy/installer/ui/screens/installtypescreen.h"

#include "tarviodeploy/installer/ui/screens/pathbrowser.h"
#include "tarviodeploy/shared/sse41support.h"
#include "tarviodeploy/shared/systemrequirements.h"
#include "tarviolib/ui/guiutils.h"
#include "tarviolib/wx/controls/statictext.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>

namespace Tarvio {

namespace {

constexpr int descriptionIndent = 17;

} // namespace

InstallTypeScreen::InstallTypeScreen(wxWindow* parent, Installer& installer)
    : ScreenBase(parent), mInstaller(installer) {
    // Without SSE4.1 only the licensing server can be installed, chosen by hand.
    const bool sse41 = isSse41Supported();
    mInstaller.setInstallType(sse41 ? InstallType::Typical : InstallType::Custom);

    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    if (sse41) {
        addRadioButton(sizer, InstallType::Typical, L"Typical");
        addDescription(sizer, installer.descriptor().description());
    }
    addRadioButton(sizer, InstallType::Custom, L"Custom");
    addDescription(sizer, L"Manually choose features to install, and where to install them.");
    addRadioButton(sizer, InstallType::Unpack, L"Unpack files");
    mPathBrowser = new PathBrowser(this, wxDefaultPosition, wxDefaultSize, installer.unpackDirectory());
    mPathBrowser->setPathChanged(
        Function<void(const Io::Path&)>([this](const Io::Path& path) { mInstaller.setUnpackDirectory(path); }));
    sizer->Add(mPathBrowser, 0, wxEXPAND | wxLEFT, descriptionIndent);
    sizer->AddStretchSpacer(1);
    SetSizer(sizer);
}

void InstallTypeScreen::addRadioButton(wxBoxSizer* sizer, InstallType type, const wchar_t* label) {
    wxRadioButton* button = new wxRadioButton(this, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0,
                                              wxDefaultValidator, wxS("radioButton"));
    button->SetValue(type == mInstaller.installType());
    button->Bind(wxEVT_RADIOBUTTON, [this, type](wxCommandEvent&) {
        mInstaller.setInstallType(type);
        if (mInstallTypeChanged) {
            mInstallTypeChanged(type);
        }
    });
    mRadioButtons[static_cast<int>(type)] = button;
    sizer->Add(button, 0, wxBOTTOM, 10);
}

void InstallTypeScreen::addDescription(wxBoxSizer* sizer, const String& text) {
    Wx::StaticText* description = createText(text);
    wrapOnSize(description, descriptionIndent);
    sizer->Add(description, 1, wxEXPAND | wxLEFT, descriptionIndent);
}

wxRadioButton* InstallTypeScreen::radioButton(InstallType type) const {
    return mRadioButtons[static_cast<int>(type)];
}

bool InstallTypeScreen::canLeave(bool goingBack) {
    if (goingBack) {
        return true;
    }
    // An unpack into a relative folder would land wherever the program happens to run.
    const Io::Path& unpackDirectory = mInstaller.unpackDirectory();
    if (mInstaller.installType() == InstallType::Unpack &&
        (unpackDirectory.isEmpty() || !unpackDirectory.isAbsolute())) {
        showMessageBox(nullptr, L"Error",
                       L"The folder for the unpacked files must be a full path, such as C:\\Tarvio Renderer.",
                       MessageBoxKind::Error, MessageBoxButtons::Ok);
        return false;
    }
    const bool windows7OrNewer = isWindows7OrNewer();
    const bool windows64Bit = is64BitWindows();
    if (windows7OrNewer && windows64Bit) {
        return true;
    }
    String message = L"Requirements check failed\n\nYour system does not meet the minimal requirements:\n";
    if (!windows7OrNewer) {
        message += L" - Tarvio requires Windows 7 or newer operating system.\n";
    }
    if (!windows64Bit) {
        message += L" - Tarvio requires a 64-bit operating system.\n";
    }
    message += L"\nTarvio Renderer will probably not work. Continue anyway?\n";
    return showMessageBox(nullptr, L"Error", message, MessageBoxKind::Error,
                          MessageBoxButtons::Ok | MessageBoxButtons::Cancel) == MessageBoxAnswer::Ok;
}

} // namespace Tarvio
