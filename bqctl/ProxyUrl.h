// The --proxy URL: socks4://host:port, socks4a://host:port or
// socks5://[user:password@]host:port, user and password percent-encoded
// where they hold ':', '@' or '%'.
#pragma once

#include <string>

#include "session/SessionSettings.h"

// False with a one-line reason in `error`.
bool ParseProxyUrl(const std::string& url, TProxySettings& proxy, std::string& error);
