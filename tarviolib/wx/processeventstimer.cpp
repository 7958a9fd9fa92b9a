#include "tarviolib/wx/processeventstimer.h"

#include <wx/app.h>

namespace Tarvio {

ProcessEventsTimer::ProcessEventsTimer() {
    SetOwner(this, -1);
}

void ProcessEventsTimer::Notify() {
    wxTheApp->ProcessIdle();
}

} // namespace Tarvio
