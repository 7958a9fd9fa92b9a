#include "tarviolib/ui/windowdisabler.h"

#include <windows.h>

namespace Tarvio {

namespace {

struct Enumeration {
    HWND parent;
    Array<NativeWindow>* disabled;
};

BOOL CALLBACK disableOwned(HWND window, LPARAM parameter) {
    const Enumeration& enumeration = *reinterpret_cast<Enumeration*>(parameter);
    if (window == enumeration.parent || GetWindow(window, GW_OWNER) == enumeration.parent) {
        // EnableWindow answers whether the window was disabled before.
        if (!EnableWindow(window, FALSE)) {
            enumeration.disabled->append(window);
        }
    }
    return TRUE;
}

} // namespace

WindowDisabler::WindowDisabler(NativeWindow parent) : mParent(parent) {
    if (mParent != nullptr) {
        Enumeration enumeration = {mParent, &mDisabledWindows};
        EnumWindows(disableOwned, reinterpret_cast<LPARAM>(&enumeration));
    }
}

WindowDisabler::~WindowDisabler() {
    release();
}

void WindowDisabler::release() {
    for (NativeWindow window : mDisabledWindows) {
        EnableWindow(window, TRUE);
    }
    mDisabledWindows.clear();
}

} // namespace Tarvio
