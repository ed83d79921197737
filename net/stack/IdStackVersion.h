// What the sockets library reported about itself when it started.
#pragma once

#include <cstdint>
#include <string>

#include "net/stack/winsock/WinsockTypes.h"

class TIdStackVersion {
public:
    virtual ~TIdStackVersion() = default;

    int32_t MaxUdpDatagramSize = 0;
    int32_t MaxSocketCount = 0;
    uint16_t HighestVersion = 0;
    uint16_t StartedVersion = 0;
    std::string DescriptionText;
    std::string VendorText;
    std::string StatusText;
    std::string StackName;
};

class TIdStackVersionWinsock : public TIdStackVersion {
public:
    explicit TIdStackVersionWinsock(const TWSAData& report);
};
