#include "tarviodeploy/installer/installationreport.h"

#include "tarviodeploy/installer/computerid.h"
#include "tarviodeploy/installer/servicehosts.h"
#include "tarviolib/winapi/environment.h"
#include "tarviolib/http/httpinputstream.h"

namespace Tarvio {

namespace {

constexpr uint32_t ReportTimeout = 60000;

// The report endpoint: "https://" and its host; test builds may point it at a local server.
String reportBase() {
#if defined(TARVIO_TEST_SEAMS)
    const Optional<String> testBase = WinApi::environmentVariable(L"TARVIO_TEST_REPORT_URL");
    if (testBase.hasValue()) {
        return testBase.value();
    }
#endif
    return "https://" + reportHost();
}

} // namespace

InstallationReport::InstallationReport(int32_t referral, const String& application) {
    add(L"type", L"installer");
    add(L"computer-id", computerId(referral));
    add(L"system", L"win");
    add(L"application", application);
}

void InstallationReport::send() const {
    const Array<StringPair> fields = signedFields(mFields);
    // The answer, or the text of a failure, is of no use to the installation.
    HttpInputStream::postAndReadAll(reportBase() + L"/customer-zone/automatic", fields.begin(), fields.size(),
                                    ReportTimeout);
}

} // namespace Tarvio
