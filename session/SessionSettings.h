// Where a gateway session connects, through which proxy, and how long any
// one network wait may take.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "net/tcp/IdSocksInfo.h"

struct TProxySettings {
    TSocksVersion Version = svNoSocks;
    std::string Host;
    int32_t Port = 0;
    std::string User; // SOCKS 4 user id, SOCKS 5 user name
    std::string Password;
};

struct TSessionSettings {
    std::string Host = "127.0.0.1";
    int32_t Port = 5556;
    std::string Gateway = "2001";
    std::chrono::milliseconds Timeout{5000};
    TProxySettings Proxy;
};
