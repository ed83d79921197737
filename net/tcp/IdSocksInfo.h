// Which SOCKS proxy, if any, a client goes through, and how it logs in.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Component.h"

enum TSocksAuthentication { saNoAuthentication = 0, saUsernamePassword = 1 };
enum TSocksVersion { svNoSocks = 0, svSocks4 = 1, svSocks4A = 2, svSocks5 = 3 };

class TSocksInfo : public TObject {
public:
    // Copies the six settings of another TSocksInfo; any other source raises
    // EConvertError "Cannot assign a <class> to a TSocksInfo.".
    void Assign(const TObject& source);

    TSocksAuthentication Authentication = saNoAuthentication;
    std::string Host;
    std::string Password;
    int32_t Port = 0;
    std::string UserID; // SOCKS 4 user id, SOCKS 5 user name
    TSocksVersion Version = svNoSocks;
};
