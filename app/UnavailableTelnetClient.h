// PLACEHOLDER for the Telnet client while the network layer is being built:
// it keeps the settings and fails every network operation. Replaced by TIdTelnet.
#pragma once

#include "net/telnet/IdTelnetInterface.h"

class TUnavailableTelnetClient : public TIdTelnetInterface {
public:
    void SetHost(const std::string& host) override { Host = host; }
    std::string GetHost() const override { return Host; }
    void SetPort(int32_t port) override { Port = port; }
    int32_t GetPort() const override { return Port; }
    void SetTerminal(const std::string& terminal) override { Terminal = terminal; }
    std::string GetTerminal() const override { return Terminal; }
    void SetOnStatus(TIdStatusEvent handler) override { OnStatus = std::move(handler); }
    void SetOnDataAvailable(TTnDataAvail handler) override { OnDataAvailable = std::move(handler); }

    void Connect() override;
    void Disconnect() override;
    void TransmitChar(char ch) override;

private:
    std::string Host;
    int32_t Port = 23;
    std::string Terminal = "dumb";
    TIdStatusEvent OnStatus;
    TTnDataAvail OnDataAvailable;
};
