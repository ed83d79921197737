// Network failures attributed to the gateway or the proxy, causes in words.
#include "bqctl/NetworkErrors.h"

#include <cctype>

#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

std::string Endpoint(const std::string& host, int32_t port) {
    return host + ":" + std::to_string(port);
}

// "Socket Error # 10054\r\nConnection reset by peer." -> "connection reset by peer".
std::string OneLine(std::string text) {
    const size_t lineEnd = text.find("\r\n");
    if (text.rfind("Socket Error # ", 0) == 0 && lineEnd != std::string::npos &&
        lineEnd + 2 < text.size())
        text = text.substr(lineEnd + 2);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

bool HostNotFound(int32_t code) {
    return code == Id_WSAHOST_NOT_FOUND || code == Id_WSATRY_AGAIN || code == Id_WSANO_DATA ||
           code == Id_WSANO_RECOVERY;
}

std::string SocketCause(const EIdSocketError& e) {
    switch (e.ErrorCode) {
    case Id_WSAECONNREFUSED:
        return "connection refused";
    case Id_WSAETIMEDOUT:
        return "connection timed out";
    case Id_WSAENETUNREACH:
        return "network unreachable";
    case Id_WSAEHOSTUNREACH:
        return "no route to host";
    case Id_WSAECONNRESET:
        return "connection reset";
    default:
        return OneLine(e.Message);
    }
}

// A SOCKS failure in words, said of the proxy.
std::string SocksCause(const EIdSocksError& e, const TSessionSettings& settings) {
    const std::string gateway = "the gateway " + Endpoint(settings.Host, settings.Port);
    if (dynamic_cast<const EIdSocksServerConnectionRefusedError*>(&e))
        return gateway + " refused the connection";
    if (dynamic_cast<const EIdSocksRequestFailed*>(&e))
        return "refused or could not make the connection to " + gateway;
    if (dynamic_cast<const EIdSocksServerHostUnreachableError*>(&e))
        return "cannot reach " + gateway + " (host unreachable)";
    if (dynamic_cast<const EIdSocksServerNetUnreachableError*>(&e))
        return "cannot reach " + gateway + " (network unreachable)";
    if (dynamic_cast<const EIdSocksServerTTLExpiredError*>(&e))
        return "timed out connecting to " + gateway;
    if (dynamic_cast<const EIdSocksServerPermissionError*>(&e))
        return "its rules do not allow a connection to " + gateway;
    if (dynamic_cast<const EIdSocksServerGeneralError*>(&e))
        return "failed to connect to " + gateway + " (general SOCKS server failure)";
    if (dynamic_cast<const EIdSocksServerCommandError*>(&e))
        return "does not support the CONNECT command";
    if (dynamic_cast<const EIdSocksServerAddressError*>(&e))
        return "does not support the address type of " + gateway;
    if (dynamic_cast<const EIdSocksAuthMethodError*>(&e))
        return settings.Proxy.User.empty()
                   ? "wants a user name and password"
                   : "takes none of the offered ways to log in (user name and password)";
    if (dynamic_cast<const EIdSocksAuthError*>(&e)) return "refused the user name or password";
    if (dynamic_cast<const EIdSocksServerRespondError*>(&e))
        return "did not answer the SOCKS request";
    if (dynamic_cast<const EIdSocksRequestServerFailed*>(&e) ||
        dynamic_cast<const EIdSocksRequestIdentFailed*>(&e))
        return "refused the request: " + OneLine(e.Message) + " (SOCKS 4 ident check)";
    if (dynamic_cast<const EIdSocksUnknownError*>(&e)) return "sent a reply it does not know";
    return OneLine(e.Message);
}

std::string ConnectFailure(const ESessionError& error, const TConnectFailure& how,
                           const TSessionSettings& settings) {
    const bool proxied = settings.Proxy.Version != svNoSocks;
    const std::string hop = proxied ? "proxy " + Endpoint(settings.Proxy.Host, settings.Proxy.Port)
                                    : Endpoint(settings.Host, settings.Port);
    // The deadline's own message names the gateway and the time.
    if (how.TimedOut) return proxied ? hop + ": " + error.what() : error.what();
    try {
        if (how.Cause) std::rethrow_exception(how.Cause);
    } catch (const EIdTelnetClientConnectError& e) {
        try {
            std::rethrow_if_nested(e);
        } catch (const EIdSocketError& socket) {
            if (!HostNotFound(socket.ErrorCode)) return hop + ": " + SocketCause(socket);
            // The first hop's name, or (SOCKS 4 only) the gateway's, resolved
            // here once the proxy's connect has begun.
            if (proxied && !how.Connecting)
                return "proxy " + settings.Proxy.Host + ": host not found";
            return settings.Host + ": host not found";
        } catch (...) {
        }
    } catch (const EIdSocksError& e) {
        return hop + ": " + SocksCause(e, settings);
    } catch (const EIdConnClosedGracefully&) {
        return hop + ": closed the connection";
    } catch (const EIdSocketError& e) {
        return hop + ": " + SocketCause(e);
    } catch (...) {
    }
    return hop + ": " + OneLine(error.what());
}

} // namespace

std::string DescribeNetworkFailure(const ESessionError& error, const TSessionSettings& settings) {
    if (error.Connect) return ConnectFailure(error, *error.Connect, settings);
    // After the connect: the session's text, the closed connection said of the gateway.
    std::string text = error.what();
    const std::string closed = EIdConnClosedGracefully().Message;
    if (text.rfind(closed, 0) == 0)
        text = "the gateway closed the connection" + text.substr(closed.size());
    return Endpoint(settings.Host, settings.Port) + ": " + OneLine(text);
}
