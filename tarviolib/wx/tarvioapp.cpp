#include "tarviolib/wx/tarvioapp.h"

namespace Tarvio {

TarvioApp::~TarvioApp() = default;

bool TarvioApp::OnExceptionInMainLoop() {
    throw;
}

} // namespace Tarvio
