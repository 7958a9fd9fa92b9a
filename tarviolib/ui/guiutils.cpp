#include "tarviolib/ui/guiutils.h"

#include "tarviolib/core/stopreport.h"
#include "tarviolib/core/uniqueptr.h"
#include "tarviolib/thread/mainthreadcall.h"
#include "tarviolib/thread/mainthreaddispatcher.h"
#include "tarviolib/ui/dialogscript.h"
#include "tarviolib/ui/windowdisabler.h"

// The toolkit's headers bring windows.h in the order its socket headers need.
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>
#include <wx/msw/private.h>
#include <wx/window.h>

#include <shellapi.h>

#include <memory>

namespace Tarvio {

namespace {

// Lets a dialog name a window that the toolkit does not own as its parent. It takes the handle
// without creating, subclassing or registering anything, and lets go of it before the toolkit's
// destructor could touch the foreign window.
class DialogParentWrapper : public wxWindow {
public:
    explicit DialogParentWrapper(NativeWindow handle) { SetHWND(handle); }
    ~DialogParentWrapper() override { SetHWND(nullptr); }

    // A dialog only takes a shown top-level window as parent.
    bool IsTopLevel() const override { return true; }
    bool IsShownOnScreen() const override { return IsWindowVisible(GetHWND()) != FALSE; }
};

// The toolkit's own window for the handle, else a wrapper of the foreign one; none for null.
class DialogParent : public Noncopyable {
public:
    explicit DialogParent(NativeWindow handle) {
        if (handle == nullptr) {
            return;
        }
        mWindow = wxFindWinFromHandle(handle);
        if (mWindow == nullptr) {
            mWrapper.reset(new DialogParentWrapper(handle));
            mWindow = mWrapper.get();
        }
    }

    wxWindow* window() const { return mWindow; }

private:
    std::unique_ptr<DialogParentWrapper> mWrapper;
    wxWindow* mWindow = nullptr;
};

long kindStyle(MessageBoxKind kind) {
    switch (kind) {
    case MessageBoxKind::Error:
        return wxICON_ERROR;
    case MessageBoxKind::Warning:
        return wxICON_WARNING;
    case MessageBoxKind::Information:
        return wxICON_INFORMATION;
    case MessageBoxKind::Question:
        return wxICON_QUESTION;
    }
    throwStop("tarviolib/ui/guiutils", 159);
}

long buttonStyle(uint32_t buttons) {
    long style = 0;
    if ((buttons & MessageBoxButtons::YesNo) != 0) {
        style |= wxYES_NO;
    }
    if ((buttons & MessageBoxButtons::Ok) != 0) {
        style |= wxOK;
    }
    if ((buttons & MessageBoxButtons::Cancel) != 0) {
        style |= wxCANCEL | wxCANCEL_DEFAULT;
    }
    return style;
}

MessageBoxAnswer answerOf(int result) {
    switch (result) {
    case wxID_OK:
        return MessageBoxAnswer::Ok;
    case wxID_CANCEL:
        return MessageBoxAnswer::Cancel;
    case wxID_YES:
        return MessageBoxAnswer::Yes;
    case wxID_NO:
        return MessageBoxAnswer::No;
    case wxID_HELP:
        return MessageBoxAnswer::Help;
    default:
        throwStop("tarviolib/ui/guiutils", 147);
    }
}

// On the main thread: the toolkit's dialogs are not thread-safe.
MessageBoxAnswer showMessageBoxHere(NativeWindow parent, const String& caption, const String& message,
                                    MessageBoxKind kind, uint32_t buttons) {
#ifdef TARVIO_TEST_SEAMS
    Testing::ShownDialog box;
    box.type = Testing::DialogType::MessageDialog;
    box.caption = caption;
    box.text = message;
    box.kind = kind;
    box.buttons = buttons;
    box.hasParent = parent != nullptr;
    box.onMainThread = isMainThread();
    if (const Optional<MessageBoxAnswer> answer = Testing::Detail::scriptedMessageBox(box)) {
        return *answer;
    }
#endif
    const long style = kindStyle(kind) | buttonStyle(buttons) | wxCENTRE | wxSTAY_ON_TOP;
    const DialogParent dialogParent(parent);
    wxMessageDialog dialog(dialogParent.window(), wxString(message.text()), wxString(caption.text()), style);
    WindowDisabler disabler(parent);
    const int result = dialog.ShowModal();
    disabler.release();
    return answerOf(result);
}

// The folder's text as the dialog gives it (native form); empty when it was not ended with OK.
String askForDirectory(NativeWindow parent, const String& message, const Io::Path& initial) {
#ifdef TARVIO_TEST_SEAMS
    Testing::ShownDialog chooser;
    chooser.type = Testing::DialogType::DirectoryDialog;
    chooser.caption = message;
    chooser.text = initial.text();
    chooser.hasParent = parent != nullptr;
    chooser.onMainThread = isMainThread();
    if (const Optional<String> answer = Testing::Detail::scriptedDirectory(chooser)) {
        return *answer;
    }
#endif
    const DialogParent dialogParent(parent);
    wxDirDialog dialog(dialogParent.window(), wxString(message.text()), wxString(initial.toNative().text()),
                       wxDD_DEFAULT_STYLE, wxDefaultPosition, wxDefaultSize, "wxDirCtrl");
    WindowDisabler disabler(parent);
    const int result = dialog.ShowModal();
    disabler.release();
    return result == wxID_OK ? String(dialog.GetPath().wc_str()) : String();
}

Io::Path chooseDirectoryHere(NativeWindow parent, const String& message, const Io::Path& initial) {
    // Backslashes become slashes.
    return Io::Path(askForDirectory(parent, message, initial));
}

bool shellOpen(const String& file) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", file.text(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

MessageBoxAnswer showMessageBox(NativeWindow parent, const String& caption, const String& message,
                                MessageBoxKind kind, uint32_t buttons) {
    kindStyle(kind); // an invalid kind stops here, before anything is shown
    String shownMessage = message;
    shownMessage.replaceAll(L"\t", L"    ");
    return callOnMainThread<MessageBoxAnswer>(
        [=] { return showMessageBoxHere(parent, caption, shownMessage, kind, buttons); });
}

Io::Path chooseDirectory(NativeWindow parent, const String& message, const Io::Path& initial) {
    return callOnMainThread<Io::Path>([=] { return chooseDirectoryHere(parent, message, initial); });
}

bool openInShell(const Io::Path& path) {
    return shellOpen(path.toNative());
}

bool openUrl(const String& address) {
    return shellOpen(address);
}

} // namespace Tarvio
