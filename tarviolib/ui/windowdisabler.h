#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/object.h"
#include "tarviolib/ui/guiutils.h"

namespace Tarvio {

// Keeps a window that the toolkit does not own, and the top-level windows it owns, disabled
// while a dialog is up over it; release (or destruction) enables again exactly the windows it
// disabled. A null parent disables nothing.
class WindowDisabler : public Noncopyable {
public:
    explicit WindowDisabler(NativeWindow parent);
    ~WindowDisabler();

    void release();

private:
    NativeWindow mParent;
    Array<NativeWindow> mDisabledWindows;
};

} // namespace Tarvio
