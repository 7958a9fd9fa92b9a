#include "tarviodeploy/installer/computerid.h"
#include "tarviodeploy/installer/installationreport.h"

#include "tarviolib/core/md5.h"
#include "tarviolib/http/percentencoding.h"

#include "tests/support/localhttpserver.h"
#include "tests/support/scopedenvironmentvariable.h"

#include <gtest/gtest.h>

#include <string>

namespace Tarvio {
namespace {

using Testing::LocalHttpServer;
using Testing::ScopedEnvironmentVariable;

std::string utf8(const String& text) {
    return text.toUtf8().text();
}

std::wstring reportBase(uint16_t port) {
    return L"http://127.0.0.1:" + std::to_wstring(port);
}

TEST(InstallationReportSendTest, ConstructorAddsTheClientFieldsInOrder) {
    const InstallationReport report(5000, L"TarvioForMax");
    const Array<StringPair>& fields = report.fields();
    ASSERT_EQ(fields.size(), 4);
    const char* const keys[] = {"type", "computer-id", "system", "application"};
    for (int32_t index = 0; index < 4; ++index) {
        EXPECT_EQ(fields[index].first, String(keys[index]));
    }
    EXPECT_EQ(fields[0].second, String("installer"));
    EXPECT_EQ(fields[2].second, String("win"));
    EXPECT_EQ(fields[3].second, String("TarvioForMax"));

    // Whatever this machine lacks (Wine has no disk serial number), the id is well-formed.
    const String& id = fields[1].second;
    EXPECT_EQ(id, computerId(5000)); // computed anew, and the same each time
    ASSERT_EQ(id.size(), 28);
    for (const wchar_t unit : id) {
        EXPECT_TRUE((unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z') || (unit >= L'0' && unit <= L'9') ||
                    unit == L'+' || unit == L'/')
            << utf8(id);
    }
    EXPECT_EQ(id[27], L'A'); // the referral byte of 5000 is 0
}

TEST(InstallationReportSendTest, SendPostsTheSignedFieldsFormEncodedInOrderOnce) {
    LocalHttpServer server([](const LocalHttpServer::Request&) { return LocalHttpServer::file("thanks"); });
    const ScopedEnvironmentVariable base(L"TARVIO_TEST_REPORT_URL", reportBase(server.port()).c_str());
    InstallationReport report(5000, L"TarvioForMax");
    report.add(L"version", L"2");
    report.add(L"components", L"max 2019;lut&ies=\u00FC");
    report.send();

    const std::vector<LocalHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/customer-zone/automatic");
    EXPECT_TRUE(requests[0].hasHeader("Content-Type: application/x-www-form-urlencoded")) << requests[0].head;
    const String id = report.fields()[1].second;
    const String signature = md5Hex(utf8(String(L"installer") + id + L"winTarvioForMax2max 2019;lut&ies=\u00FC" +
                                         L"9d3b7e15a06c2f48e1d94b70c5a2e83f61b0d7c4")
                                        .c_str());
    EXPECT_EQ(requests[0].body, "type=installer&computer-id=" + utf8(formEncode(id)) +
                                    "&system=win&application=TarvioForMax&version=2"
                                    "&components=max+2019%3blut%26ies%3d%c3%bc&signature=" +
                                    utf8(signature));
    // Sending leaves the report as it was.
    EXPECT_EQ(report.fields().size(), 6);
}

TEST(InstallationReportSendTest, AFailedSendIsSilent) {
    const struct {
        const char* what;
        LocalHttpServer::Reply reply;
    } cases[] = {
        {"error answer", LocalHttpServer::reply("500 Internal Server Error", {"Content-Length: 5"}, "oops!")},
        {"answer that breaks off", LocalHttpServer::reply("200 OK", {"Content-Length: 100"}, "short")},
        {"connection closed without an answer", LocalHttpServer::Reply{"", false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LocalHttpServer server([&c](const LocalHttpServer::Request&) { return c.reply; });
        const ScopedEnvironmentVariable base(L"TARVIO_TEST_REPORT_URL", reportBase(server.port()).c_str());
        const InstallationReport report(5000, L"TarvioForMax");
        EXPECT_NO_THROW(report.send());
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // Nothing listens: the connection is refused at once and the call returns.
    const ScopedEnvironmentVariable base(L"TARVIO_TEST_REPORT_URL",
                                         reportBase(LocalHttpServer::unusedPort()).c_str());
    EXPECT_NO_THROW(InstallationReport(5000, L"TarvioForMax").send());
}

} // namespace
} // namespace Tarvio
