#include "tarviolib/http/httpinputstream.h"

#include "tarviolib/core/exception.h"
#include "tarviolib/http/percentencoding.h"
#include "tarviolib/http/url.h"
#include "tarviolib/io/textstream.h"
#include "tarviolib/winapi/errormessage.h"
#include "tarviolib/winapi/scopedhandle.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <limits>
#include <string>

namespace Tarvio {

namespace {

const wchar_t* const UserAgent = L"TarvioRenderer";

const String& requestHeaders() {
    static const String headers(L"Content-Type: application/x-www-form-urlencoded");
    return headers;
}

// Decimal digits and nothing else: a length has no sign.
Optional<int64_t> parseLength(const wchar_t* text) {
    if (*text == 0) {
        return {};
    }
    int64_t value = 0;
    for (const wchar_t* unit = text; *unit != 0; ++unit) {
        if (*unit < L'0' || *unit > L'9') {
            return {};
        }
        const int64_t digit = *unit - L'0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10) {
            return {};
        }
        value = value * 10 + digit;
    }
    return value;
}

// Without time-outs a stalled server blocks the caller for good. Set on every handle: not every
// WinINet passes them on to the handles made from one.
bool setTimeouts(HINTERNET handle, uint32_t timeout) {
    DWORD milliseconds = timeout;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds))) {
            return false;
        }
    }
    return true;
}

String decimal(int64_t value) {
    return String(std::to_wstring(value).c_str());
}

class HttpInputStreamImpl : public HttpInputStream {
public:
    HttpInputStreamImpl(const String& url, const String& verb) : mUrl(url), mVerb(verb) {}

    static UniquePtr<HttpInputStreamImpl> open(const String& url, const String& verb, const String& body,
                                               uint32_t timeout, uint32_t reserved);

    Optional<int64_t> contentLength() const override;
    Optional<String> etag() const override;

protected:
    int64_t readImpl(void* data, int64_t size) override;
    bool isEofImpl() const override { return mEof; }

private:
    // The header's text; empty when the response has none or it does not fit 1023 characters.
    Optional<String> header(DWORD query) const;
    [[noreturn]] void throwReadFailure(const String& reason) const;

    String mUrl;
    String mVerb;
    // Declared in the order of opening, so that they close in the reverse one.
    WinApi::InternetHandle mSession;
    WinApi::InternetHandle mConnection;
    WinApi::InternetHandle mRequest;
    bool mEof = false;
    int64_t mReceived = 0;
};

UniquePtr<HttpInputStreamImpl> HttpInputStreamImpl::open(const String& url, const String& verb, const String& body,
                                                         uint32_t timeout, uint32_t) {
    const Result<Url> parsed = Url::parse(url);
    if (!parsed.ok()) {
        throwException("URL malformed: " + url);
    }
    const Url& target = parsed.value();
    // Owned from here, so that whatever a later step fails on is closed.
    UniquePtr<HttpInputStreamImpl> stream(new HttpInputStreamImpl(url, verb));

    stream->mSession.reset(InternetOpenW(UserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!stream->mSession || !setTimeouts(stream->mSession.get(), timeout)) {
        throwException("Failed to initialize Internet interface.\nError: " + WinApi::lastErrorMessage());
    }

    stream->mConnection.reset(InternetConnectW(stream->mSession.get(), target.host.text(), target.port, nullptr, nullptr,
                                                       INTERNET_SERVICE_HTTP, 0, 1));
    if (!stream->mConnection || !setTimeouts(stream->mConnection.get(), timeout)) {
        throwException("Failed to connect to server '" + target.host + "' on port " + decimal(target.port) +
                       "\nError: " + WinApi::lastErrorMessage());
    }

    const String sendFailure = "Failed to send " + verb + " request to " + url + "\nError: ";
    DWORD flags = INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK;
    if (target.protocol == "https") {
        flags |= INTERNET_FLAG_SECURE;
    }
    const String object = "/" + percentEncodePath(target.path);
    stream->mRequest.reset(HttpOpenRequestW(stream->mConnection.get(), verb.text(), object.text(), nullptr, nullptr, nullptr,
                                                    flags, 0));
    if (!stream->mRequest || !setTimeouts(stream->mRequest.get(), timeout)) {
        throwException(sendFailure + WinApi::lastErrorMessage());
    }

    const String& headers = requestHeaders();
    NarrowString bytes = body.toAscii('_');
    if (!HttpSendRequestW(stream->mRequest.get(), headers.text(), static_cast<DWORD>(headers.size()),
                          bytes.isEmpty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.length()))) {
        throwException(sendFailure + WinApi::lastErrorMessage());
    }
    return stream;
}

int64_t HttpInputStreamImpl::readImpl(void* data, int64_t size) {
    if (size <= 0 || mEof) {
        return 0;
    }
    const DWORD wanted = static_cast<DWORD>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
    DWORD read = 0;
    // A body that breaks off must not read as a complete one.
    if (!InternetReadFile(mRequest.get(), data, wanted, &read)) {
        throwReadFailure(WinApi::lastErrorMessage());
    }
    mReceived += read;
    if (read == 0) {
        const Optional<int64_t> expected = contentLength();
        if (expected && mReceived < *expected) {
            throwReadFailure("The connection closed after " + decimal(mReceived) + " of " + decimal(*expected) +
                             " bytes.");
        }
        mEof = true;
    }
    return read;
}

void HttpInputStreamImpl::throwReadFailure(const String& reason) const {
    throwException("Failed to read the response to the " + mVerb + " request to " + mUrl + "\nError: " + reason);
}

Optional<String> HttpInputStreamImpl::header(DWORD query) const {
    wchar_t buffer[1024];
    DWORD size = sizeof(buffer);
    if (!HttpQueryInfoW(mRequest.get(), query, buffer, &size, nullptr)) {
        return {};
    }
    return String(buffer, static_cast<int32_t>(size / sizeof(wchar_t)));
}

Optional<int64_t> HttpInputStreamImpl::contentLength() const {
    const Optional<String> text = header(HTTP_QUERY_CONTENT_LENGTH);
    return text ? parseLength(text->text()) : Optional<int64_t>();
}

Optional<String> HttpInputStreamImpl::etag() const {
    return header(HTTP_QUERY_ETAG);
}

} // namespace

UniquePtr<HttpInputStream> HttpInputStream::get(const String& url, uint32_t timeout, uint32_t reserved) {
    return HttpInputStreamImpl::open(url, L"GET", String(), timeout, reserved);
}

UniquePtr<HttpInputStream> HttpInputStream::post(const String& url, const StringPair* fields, int32_t count,
                                                 uint32_t timeout, uint32_t reserved) {
    String body;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) {
            body += L'&';
        }
        body += formEncode(fields[i].first) + "=" + formEncode(fields[i].second);
    }
    return HttpInputStreamImpl::open(url, L"POST", body, timeout, reserved);
}

Result<String> HttpInputStream::postAndReadAll(const String& url, const StringPair* fields, int32_t count,
                                               uint32_t timeout, uint32_t reserved) {
    try {
        TextInputStream text(post(url, fields, count, timeout, reserved), TextEncoding::Utf8,
                             TextInputFlag::ConvertNewlines);
        return text.readAll();
    } catch (const Exception& exception) {
        return Result<String>::fromError(exceptionMessage(exception));
    }
}

} // namespace Tarvio
