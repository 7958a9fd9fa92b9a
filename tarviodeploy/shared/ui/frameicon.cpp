#include "tarviodeploy/shared/ui/frameicon.h"

#include "tarviolib/image/wximageconversion.h"

#include <wx/icon.h>
#include <wx/toplevel.h>

namespace Tarvio {

void setFrameIcon(wxTopLevelWindow& frame) {
    const wxBitmap bitmap = bitmapFromEmbeddedData(WindowIconPng, WindowIconPngSize, wxBITMAP_TYPE_ANY);
    // The picture is the program's own; should it ever fail to decode, the frame keeps the
    // system's icon rather than receiving an invalid one.
    if (!bitmap.IsOk()) {
        return;
    }
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    frame.SetIcon(icon);
}

} // namespace Tarvio
