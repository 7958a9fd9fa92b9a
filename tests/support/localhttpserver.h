#pragma once

// An HTTP server on 127.0.0.1 inside the test process, answering each connection with the raw
// bytes the test gives, so that replies a real server would never send (a body that breaks off, a
// server that stops answering) can be made at will.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Tarvio::Testing {

class LocalHttpServer {
public:
    struct Request {
        // The bytes received up to the end of the headers, or all of them when they are not HTTP.
        std::string head;
        std::string method;
        std::string target;
        std::string body;

        bool hasHeader(const std::string& line) const { return head.find("\r\n" + line + "\r\n") != std::string::npos; }
    };

    struct Reply {
        std::string bytes;
        // Keep the connection open without a further byte until the server stops.
        bool stall = false;
    };

    using Handler = std::function<Reply(const Request&)>;

    // A complete reply: the status line (such as "200 OK"), the header lines, and the body, after
    // which the connection closes.
    static Reply reply(const std::string& status, const std::vector<std::string>& headers, const std::string& body) {
        std::string bytes = "HTTP/1.1 " + status + "\r\nConnection: close\r\n";
        for (const std::string& header : headers) {
            bytes += header + "\r\n";
        }
        return {bytes + "\r\n" + body, false};
    }

    // The body with its Content-Length.
    static Reply file(const std::string& body, const std::vector<std::string>& headers = {}) {
        std::vector<std::string> all = headers;
        all.push_back("Content-Length: " + std::to_string(body.size()));
        return reply("200 OK", all, body);
    }

    explicit LocalHttpServer(Handler handler) : mHandler(std::move(handler)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        mListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = loopback(0);
        bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(mListener, 8);
        int size = sizeof(address);
        getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &size);
        mPort = ntohs(address.sin_port);
        mThread = std::thread([this] { serve(); });
    }

    ~LocalHttpServer() {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mStopping = true;
        }
        mStopped.notify_all();
        closesocket(mListener);
        mThread.join();
        WSACleanup();
    }

    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    uint16_t port() const { return mPort; }
    // "http://127.0.0.1:port" + path.
    std::string url(const std::string& path, const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(mPort) + path;
    }

    std::vector<Request> requests() const {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRequests;
    }

    // A loopback port on which nothing listens: a connection to it is refused at once.
    static uint16_t unusedPort() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = loopback(0);
        bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int size = sizeof(address);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        closesocket(probe);
        WSACleanup();
        return ntohs(address.sin_port);
    }

private:
    static sockaddr_in loopback(uint16_t port) {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    void serve() {
        for (;;) {
            const SOCKET connection = accept(mListener, nullptr, nullptr);
            if (connection == INVALID_SOCKET) {
                return; // the listener was closed
            }
            const Request request = receive(connection);
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mRequests.push_back(request);
            }
            const Reply answer = mHandler(request);
            send(connection, answer.bytes.data(), static_cast<int>(answer.bytes.size()), 0);
            if (answer.stall) {
                std::unique_lock<std::mutex> lock(mMutex);
                mStopped.wait(lock, [this] { return mStopping; });
            }
            shutdown(connection, SD_SEND);
            closesocket(connection);
        }
    }

    static Request receive(SOCKET connection) {
        Request request;
        std::string bytes;
        char block[4096];
        size_t headEnd = std::string::npos;
        while (headEnd == std::string::npos) {
            const int count = recv(connection, block, sizeof(block), 0);
            if (count <= 0) {
                break;
            }
            bytes.append(block, static_cast<size_t>(count));
            // A TLS handshake is no HTTP: keep what came and answer it.
            if (static_cast<unsigned char>(bytes[0]) == 0x16) {
                request.head = bytes;
                return request;
            }
            headEnd = bytes.find("\r\n\r\n");
        }
        if (headEnd == std::string::npos) {
            request.head = bytes;
            return request;
        }
        request.head = bytes.substr(0, headEnd + 2);
        const size_t space = request.head.find(' ');
        request.method = request.head.substr(0, space);
        request.target = request.head.substr(space + 1, request.head.find(' ', space + 1) - space - 1);
        request.body = bytes.substr(headEnd + 4);
        const size_t length = lowerCased(request.head).find("\r\ncontent-length:");
        const size_t expected =
            length == std::string::npos ? 0 : std::strtoul(request.head.c_str() + length + 17, nullptr, 10);
        while (request.body.size() < expected) {
            const int count = recv(connection, block, sizeof(block), 0);
            if (count <= 0) {
                break;
            }
            request.body.append(block, static_cast<size_t>(count));
        }
        return request;
    }

    static std::string lowerCased(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }

    Handler mHandler;
    SOCKET mListener = INVALID_SOCKET;
    uint16_t mPort = 0;
    std::thread mThread;
    mutable std::mutex mMutex;
    std::condition_variable mStopped;
    bool mStopping = false;
    std::vector<Request> mRequests;
};

} // namespace Tarvio::Testing
