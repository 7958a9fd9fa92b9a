#include "tarviolib/http/httpinputstream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/winapi/errormessage.h"
#include "tests/support/localhttpserver.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>

namespace Tarvio {
namespace {

using Testing::LocalHttpServer;

constexpr uint32_t Timeout = 60000;

std::string utf8(const String& text) {
    return text.toUtf8().text();
}

std::string readAll(Io::BinaryInputStream& stream) {
    std::string bytes;
    char block[7]; // smaller than the bodies, so that reads follow each other
    for (int64_t count; (count = stream.read(block, sizeof(block))) > 0;) {
        bytes.append(block, static_cast<size_t>(count));
    }
    return bytes;
}

// The message of what calling throws; empty when it throws nothing.
template <typename Call>
std::string thrownMessage(Call call) {
    try {
        call();
    } catch (const Exception& exception) {
        return exception.what();
    }
    return "";
}

TEST(HttpInputStreamTest, GetReadsTheBodyAndKeepsTheEtagAsSent) {
    struct Case {
        const char* etag;
    } cases[] = {{"\"5d8c72a5edda8d6a:0\""}, {"W/\"weak-1\""}};
    for (const Case& test : cases) {
        LocalHttpServer server([&](const LocalHttpServer::Request&) {
            return LocalHttpServer::file("material data", {std::string("ETag: ") + test.etag});
        });
        const std::string url = server.url("/3dsmax/2/Material Library");
        const UniquePtr<HttpInputStream> stream = HttpInputStream::get(String(url.c_str()), Timeout);

        EXPECT_EQ(utf8(stream->etag().valueOr(L"none")), test.etag);
        EXPECT_EQ(stream->contentLength().valueOr(-1), 13);
        EXPECT_EQ(readAll(*stream), "material data");
        EXPECT_TRUE(stream->isEof());
        char more;
        EXPECT_EQ(stream->read(&more, 1), 0);

        const std::vector<LocalHttpServer::Request> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].method, "GET");
        EXPECT_EQ(requests[0].target, "/3dsmax/2/Material%20Library");
        EXPECT_TRUE(requests[0].hasHeader("Content-Type: application/x-www-form-urlencoded")) << requests[0].head;
        EXPECT_TRUE(requests[0].hasHeader("User-Agent: TarvioRenderer")) << requests[0].head;
        EXPECT_EQ(requests[0].body, "");
    }
}

TEST(HttpInputStreamTest, BodyWithoutLengthOrEtagIsReadToItsEnd) {
    struct Case {
        const char* name;
        LocalHttpServer::Reply reply;
    } cases[] = {
        {"chunked", LocalHttpServer::reply("200 OK", {"Transfer-Encoding: chunked"},
                                           "6\r\nchunks\r\n4\r\n too\r\n0\r\n\r\n")},
        {"until closed", LocalHttpServer::reply("200 OK", {}, "until the connection closes")},
    };
    for (const Case& test : cases) {
        LocalHttpServer server([&](const LocalHttpServer::Request&) { return test.reply; });
        const UniquePtr<HttpInputStream> stream = HttpInputStream::get(String(server.url("/data").c_str()), Timeout);
        EXPECT_FALSE(stream->contentLength().hasValue()) << test.name;
        EXPECT_FALSE(stream->etag().hasValue()) << test.name;
        EXPECT_EQ(readAll(*stream), test.name == std::string("chunked") ? "chunks too" : "until the connection closes")
            << test.name;
    }
}

TEST(HttpInputStreamTest, ErrorStatusStillGivesTheBody) {
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        return LocalHttpServer::reply("404 Not Found", {"Content-Length: 9"}, "not here!");
    });
    const UniquePtr<HttpInputStream> stream = HttpInputStream::get(String(server.url("/missing").c_str()), Timeout);
    EXPECT_EQ(readAll(*stream), "not here!");
}

TEST(HttpInputStreamTest, BodyThatBreaksOffIsAnErrorNotAnEnd) {
    LocalHttpServer server([](const LocalHttpServer::Request&) {
        return LocalHttpServer::reply("200 OK", {"Content-Length: 100"}, "only ten b");
    });
    const std::string url = server.url("/pack");
    const UniquePtr<HttpInputStream> stream = HttpInputStream::get(String(url.c_str()), Timeout);
    EXPECT_EQ(thrownMessage([&] { readAll(*stream); }),
              "Failed to read the response to the GET request to " + url +
                  "\nError: The connection closed after 10 of 100 bytes.");
    EXPECT_FALSE(stream->isEof());
}

TEST(HttpInputStreamTest, StalledServerEndsInAnErrorAtThatStep) {
    struct Case {
        const char* name;
        LocalHttpServer::Reply reply;
        const char* step;
    } cases[] = {
        {"no answer", {"", true}, "Failed to send GET request to "},
        {"half a body", {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf", true},
         "Failed to read the response to the GET request to "},
    };
    for (const Case& test : cases) {
        LocalHttpServer server([&](const LocalHttpServer::Request&) { return test.reply; });
        const std::string url = server.url("/slow");
        // The server never closes: only the time-out ends the wait. Which error the platform names
        // for it differs between WinINet's implementations.
        const std::string message = thrownMessage([&] {
            const UniquePtr<HttpInputStream> stream = HttpInputStream::get(String(url.c_str()), 300);
            readAll(*stream);
        });
        EXPECT_EQ(message.rfind(test.step + url + "\nError: ", 0), 0u) << test.name << ": " << message;
    }
}

TEST(HttpInputStreamTest, RefusedConnectionNamesTheUrlAndTheSystemsText) {
    const std::string url = "http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort()) + "/x";
    const std::string refused = utf8(WinApi::errorMessage(ERROR_INTERNET_CANNOT_CONNECT));
    // The text comes from WinINet's own table, not the fallback.
    EXPECT_EQ(refused.find("Error code"), std::string::npos) << refused;
    EXPECT_EQ(thrownMessage([&] { HttpInputStream::get(String(url.c_str()), Timeout); }),
              "Failed to send GET request to " + url + "\nError: " + refused);
}

TEST(HttpInputStreamTest, UrlWithQueryIsRefusedBeforeConnecting) {
    EXPECT_EQ(thrownMessage([] { HttpInputStream::get(L"http://127.0.0.1:1/a?b=c", Timeout); }),
              "URL malformed: http://127.0.0.1:1/a?b=c");
}

TEST(HttpInputStreamTest, HttpsSpeaksTlsToTheServer) {
    LocalHttpServer server([](const LocalHttpServer::Request&) { return LocalHttpServer::Reply{"not TLS", false}; });
    const std::string url = server.url("/secure", "https");
    const std::string message = thrownMessage([&] { HttpInputStream::get(String(url.c_str()), Timeout); });
    EXPECT_EQ(message.rfind("Failed to send GET request to " + url + "\nError: ", 0), 0u) << message;
    const std::vector<LocalHttpServer::Request> requests = server.requests();
    ASSERT_FALSE(requests.empty());
    // A TLS handshake record, not a request line: the request went out with the secure flag.
    EXPECT_EQ(static_cast<unsigned char>(requests[0].head[0]), 0x16);
}

TEST(HttpInputStreamTest, PostSendsTheFormEncodedFields) {
    LocalHttpServer server([](const LocalHttpServer::Request&) { return LocalHttpServer::file("thanks\r\nbye\r"); });
    const StringPair fields[] = {{L"type", L"x y"}, {L"n", L"1"}};
    const Result<String> answer =
        HttpInputStream::postAndReadAll(String(server.url("/report").c_str()), fields, 2, Timeout);
    ASSERT_TRUE(answer.ok()) << utf8(answer.error());
    EXPECT_EQ(utf8(answer.value()), "thanks\nbye\n");
    HttpInputStream::post(String(server.url("/empty").c_str()), nullptr, 0, Timeout);

    const std::vector<LocalHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "type=x+y&n=1");
    EXPECT_TRUE(requests[0].hasHeader("Content-Type: application/x-www-form-urlencoded"));
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].body, "");
}

TEST(HttpInputStreamTest, PostAndReadAllAnswersFailuresAsErrors) {
    const std::string url = "http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort()) + "/report";
    const Result<String> answer = HttpInputStream::postAndReadAll(String(url.c_str()), nullptr, 0, Timeout);
    ASSERT_FALSE(answer.ok());
    EXPECT_EQ(utf8(answer.error()).rfind("Failed to send POST request to " + url + "\nError: ", 0), 0u);
}

} // namespace
} // namespace Tarvio
