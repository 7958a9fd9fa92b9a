#include "tarviodeploy/installer/additionalinstallerdata.h"

#include "tarviodeploy/installer/productidentifiers.h"
#include "tarviodeploy/installer/servicehosts.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/formatting.h"
#include "tarviolib/winapi/environment.h"

#include <atomic>

namespace Tarvio {

namespace {

std::atomic<bool> downloadCanceled{false};

} // namespace

void cancelDownload() {
    downloadCanceled.exchange(true);
}

String additionalDataBaseUrl(int32_t productId, const String& version) {
    String server = "https://" + installerDataHost();
#ifdef TARVIO_TEST_SEAMS
    if (const Optional<String> testServer = WinApi::environmentVariable(L"TARVIO_TEST_INSTALLER_DATA_URL")) {
        server = *testServer;
    }
#endif
    return server + "/" + productIdentifiers.name(static_cast<ProductIdentifier>(productId)) + "/" + version + "/";
}

String downloadProgressText(int64_t copied, const Optional<int64_t>& total) {
    if (downloadCanceled.load()) {
        throwException(L"Canceled by user");
    }
    String text = "Downloading additional installer data (" + formatByteSize(static_cast<uint64_t>(copied));
    if (total) {
        text += " / " + formatByteSize(static_cast<uint64_t>(*total));
    }
    return text + ")";
}

} // namespace Tarvio
