#pragma once

#include <wx/app.h>

namespace Tarvio {

// The toolkit's application object: every application behaviour (initialisation, main loop, idle
// processing, exit) is the toolkit's own, but for an exception that leaves an event handler.
class TarvioApp : public wxApp {
public:
    ~TarvioApp() override;

    // Ends the main loop and lets the exception go on out of it, to the loop's caller. (The
    // toolkit's own handling asks the user in a box of its own whether to go on.)
    bool OnExceptionInMainLoop() override;
};

} // namespace Tarvio
