// Parsing of the --proxy URL into the client's SOCKS settings.
#include "bqctl/ProxyUrl.h"

#include <cctype>

#include "bqctl/TextRules.h"

namespace {

constexpr size_t MaxSocksField = 255; // one length byte in the SOCKS 5 login

bool PercentDecode(const std::string& text, std::string& decoded) {
    decoded.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const std::string hex = text.substr(i + 1, 2);
        if (!std::isxdigit(static_cast<unsigned char>(hex[0])) ||
            !std::isxdigit(static_cast<unsigned char>(hex[1])))
            return false;
        decoded += static_cast<char>(std::stoi(hex, nullptr, 16));
        i += 2;
    }
    return true;
}

// The text with everything that may be a login (up to its last '@', after
// the scheme) replaced by "***", for messages.
std::string WithoutLogin(const std::string& url) {
    const size_t at = url.rfind('@');
    if (at == std::string::npos) return url;
    const size_t start = url.find("://");
    const size_t loginStart = start != std::string::npos && start < at ? start + 3 : 0;
    return url.substr(0, loginStart) + "***" + url.substr(at);
}

} // namespace

bool ParseProxyUrl(const std::string& url, TProxySettings& proxy, std::string& error) {
    const auto fail = [&](const std::string& why) {
        error = "--proxy '" + WithoutLogin(url) + "': " + why;
        return false;
    };
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos)
        return fail("expected socks4://, socks4a:// or socks5:// followed by host:port");
    const std::string scheme = url.substr(0, schemeEnd);
    TProxySettings parsed;
    if (scheme == "socks4")
        parsed.Version = svSocks4;
    else if (scheme == "socks4a")
        parsed.Version = svSocks4A;
    else if (scheme == "socks5" ||
             scheme == "socks5h") // h: the proxy resolves, as socks5 does here
        parsed.Version = svSocks5;
    else
        return fail("unknown scheme '" + WithoutLogin(scheme) + "' (socks4, socks4a or socks5)");
    std::string rest = url.substr(schemeEnd + 3);
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    const size_t at = rest.rfind('@');
    if (at != std::string::npos) {
        const std::string login = rest.substr(0, at);
        rest = rest.substr(at + 1);
        const size_t colon = login.find(':');
        if (!PercentDecode(login.substr(0, colon), parsed.User))
            return fail("bad percent escape in the user name");
        if (colon != std::string::npos) {
            if (parsed.Version != svSocks5) return fail("only socks5 takes a password");
            if (!PercentDecode(login.substr(colon + 1), parsed.Password))
                return fail("bad percent escape in the password");
        }
        if (parsed.User.empty()) return fail("empty user name");
        if (parsed.User.size() > MaxSocksField || parsed.Password.size() > MaxSocksField)
            return fail("user name and password are limited to 255 bytes");
    }
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return fail("expected host:port after the scheme");
    parsed.Host = rest.substr(0, colon);
    if (!ParsePort(rest.substr(colon + 1), parsed.Port))
        return fail("port '" + rest.substr(colon + 1) + "' is not a number from 1 to 65535");
    proxy = parsed;
    return true;
}
