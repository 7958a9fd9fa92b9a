#pragma once

#include <wx/app.h>

namespace Tarvio {

// The toolkit's application object: every application behaviour (initialisation, main loop, idle
// processing, exit) is the toolkit's own.
class TarvioApp : public wxApp {
public:
    ~TarvioApp() override;
};

} // namespace Tarvio
