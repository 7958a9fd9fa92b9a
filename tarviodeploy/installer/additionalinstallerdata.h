#pragma once

#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"

#include <cstdint>

namespace Tarvio {

// Packs of payload that the installer fetches at installation time instead of carrying them; see
// IInstallContext::downloadAdditionalData.

// Ends every download of the run at its next block with "Canceled by user"; there is no undoing
// it. Callable from any thread.
void cancelDownload();

// Where the product version's packs lie: "https://" + the installer web server + "/" + the product
// identifier + "/" + version + "/". Test builds take the part before the identifier from the
// environment variable TARVIO_TEST_INSTALLER_DATA_URL when it is set (such as
// "http://127.0.0.1:8080").
String additionalDataBaseUrl(int32_t productId, const String& version);

// "Downloading additional installer data (" + copied [+ " / " + total] + ")", sizes as people read
// them. Throws "Canceled by user" once cancelDownload was called.
String downloadProgressText(int64_t copied, const Optional<int64_t>& total);

} // namespace Tarvio
