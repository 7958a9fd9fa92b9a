#pragma once

#include <wx/timer.h>

namespace Tarvio {

// Runs the application's idle processing (idle events, pending log output, objects scheduled for
// deletion) on every tick, also while nothing else wakes the main loop.
class ProcessEventsTimer : public wxTimer {
public:
    ProcessEventsTimer();

    void Notify() override;
};

} // namespace Tarvio
