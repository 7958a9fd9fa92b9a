#include "tarviodeploy/installer/servicehosts.h"

namespace Tarvio {

String installerDataHost() {
    return L"" TARVIO_INSTALLER_DATA_HOST;
}

String reportHost() {
    return L"" TARVIO_REPORT_HOST;
}

String websiteHost() {
    return L"" TARVIO_WEBSITE_HOST;
}

} // namespace Tarvio
