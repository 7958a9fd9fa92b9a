#include "tarviolib/wx/tarvioapp.h"

namespace Tarvio {

TarvioApp::~TarvioApp() = default;

} // namespace Tarvio
