#pragma once

#include "tarviolib/core/string.h"

namespace Tarvio {

// The hosts of the maker's web services, fixed by the build (the CMake settings
// TARVIO_INSTALLER_DATA_HOST, TARVIO_REPORT_HOST and TARVIO_WEBSITE_HOST). Their defaults are
// reserved names that resolve nowhere, so a build that does not name the real hosts sends nothing
// to anyone.

// The installer web server, which holds the additional installer data.
String installerDataHost();
// The endpoint of the installation report.
String reportHost();
// The maker's web site.
String websiteHost();

} // namespace Tarvio
