#include "tarviolib/http/url.h"

#include "tarviolib/core/optional.h"

#include <regex>

namespace Tarvio {

namespace {

// Group 1 protocol, 2 host, 3 ":" and port, 4 path: segments of one or more characters, and an
// optional final "/".
const std::wregex& urlGrammar() {
    static const std::wregex grammar(L"([a-zA-Z0-9\\.\\-]+)://([a-zA-Z0-9\\.\\-]+)(:[0-9]+)?((?:/[^/?#]+)+/?)?",
                                     std::regex_constants::ECMAScript);
    return grammar;
}

// The digits as a 16-bit number; empty when it does not fit.
Optional<uint16_t> readPort(const wchar_t* digits, const wchar_t* end) {
    uint32_t port = 0;
    for (const wchar_t* digit = digits; digit != end; ++digit) {
        port = port * 10 + static_cast<uint32_t>(*digit - L'0');
        if (port > UINT16_MAX) {
            return {};
        }
    }
    return static_cast<uint16_t>(port);
}

Optional<uint16_t> defaultPort(const String& protocol) {
    if (protocol == "ftp") {
        return uint16_t{21};
    }
    if (protocol == "http") {
        return uint16_t{80};
    }
    if (protocol == "https") {
        return uint16_t{443};
    }
    return {};
}

String group(const std::wcmatch& match, int index) {
    return String(match[index].first, static_cast<int32_t>(match.length(index)));
}

} // namespace

Result<Url> Url::parse(const String& text) {
    std::wcmatch match;
    if (text.size() > MaxLength || !std::regex_match(text.begin(), text.end(), match, urlGrammar())) {
        return Result<Url>::fromError("Malformed URL");
    }

    Url url;
    url.protocol = group(match, 1).lowerCased();
    url.host = group(match, 2).lowerCased();

    Optional<uint16_t> port;
    if (match.length(3) > 0) {
        port = readPort(match[3].first + 1, match[3].second);
    }
    if (!port) {
        port = defaultPort(url.protocol);
    }
    if (!port) {
        return Result<Url>::fromError("Cannot determine port number for protocol '" + url.protocol + "'");
    }
    url.port = *port;

    if (match.length(4) > 0) {
        url.path = String(match[4].first + 1, static_cast<int32_t>(match.length(4) - 1));
    }
    return url;
}

} // namespace Tarvio
