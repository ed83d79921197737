// Fuzz target: any bytes as a --proxy URL through ParseProxyUrl. The login
// (everything between "://" and the last '@') never shows in a message: the
// same URL with each login byte but ':', '%' and the two after '%' replaced
// by 'x' gives the same verdict and the same message. A URL taken, written
// again with its user and password percent-encoded, reads the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bqctl/ProxyUrl.h"
#include "fuzz/FuzzCheck.h"

namespace {

std::string PercentEncoded(const std::string& text) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += Digits[byte >> 4];
        encoded += Digits[byte & 15];
    }
    return encoded;
}

const char* Scheme(TSocksVersion version) {
    return version == svSocks4 ? "socks4" : version == svSocks4A ? "socks4a" : "socks5";
}

// The URL with its login's bytes masked, or empty when it has no login after a scheme.
std::string MaskedLogin(const std::string& url) {
    const size_t start = url.find("://");
    const size_t at = url.rfind('@');
    if (start == std::string::npos || at == std::string::npos || at < start + 3) return {};
    std::string masked = url;
    for (size_t i = start + 3; i < at; ++i) {
        if (url[i] == '%') {
            i += 2;
            continue;
        }
        if (url[i] != ':') masked[i] = 'x';
    }
    return masked;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size);
    TProxySettings proxy;
    std::string error;
    const bool taken = ParseProxyUrl(url, proxy, error);
    if (const std::string masked = MaskedLogin(url); !masked.empty() && masked != url) {
        TProxySettings other;
        std::string otherError;
        FUZZ_REQUIRE(ParseProxyUrl(masked, other, otherError) == taken,
                     "the login's bytes do not change the verdict: " + FuzzHex(url));
        FUZZ_REQUIRE(otherError == error, "no message shows the login: " + error);
    }
    if (!taken) {
        FUZZ_REQUIRE(!error.empty(), "a refusal says why");
        return 0;
    }
    FUZZ_REQUIRE(proxy.Port >= 1 && proxy.Port <= 65535, "the port is 1..65535");
    FUZZ_REQUIRE(!proxy.Host.empty(), "a proxy has a host");
    FUZZ_REQUIRE(proxy.User.size() <= 255 && proxy.Password.size() <= 255,
                 "user and password fit the SOCKS login");
    std::string again = std::string(Scheme(proxy.Version)) + "://";
    if (!proxy.User.empty())
        again += PercentEncoded(proxy.User) +
                 (proxy.Password.empty() ? "" : ":" + PercentEncoded(proxy.Password)) + "@";
    again += proxy.Host + ":" + std::to_string(proxy.Port);
    TProxySettings reread;
    FUZZ_REQUIRE(ParseProxyUrl(again, reread, error), "a URL written again is taken: " + error);
    FUZZ_REQUIRE(reread.Version == proxy.Version && reread.Host == proxy.Host &&
                     reread.Port == proxy.Port && reread.User == proxy.User &&
                     reread.Password == proxy.Password,
                 "a URL written again reads the same: " + FuzzHex(again));
    return 0;
}
