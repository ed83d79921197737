// A Telnet client double for the window: records what the window hands it
// and fails on request. What it records outlives it, so that shutdown can be
// checked after the window (its owner) is gone.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/telnet/IdTelnetInterface.h"

struct TFakeClientRecord {
    std::string Sent; // every character given to TransmitChar, in order
    int ConnectCalls = 0;
    int DisconnectCalls = 0;
};

class TFakeTelnetClient : public TIdTelnetInterface {
public:
    explicit TFakeTelnetClient(TFakeClientRecord& record) : Record(record) {}

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

    // Raises the status event on the calling thread.
    void RaiseStatus(TIdStatus status, const std::string& text);
    // Raises the status event once per text on a thread of its own, as the
    // reader does when the peer closes; returns when that thread has ended.
    void RaiseStatusFromThread(const std::vector<std::string>& texts);
    // Hands one received chunk to the window, as the reader's hand-over does.
    void Deliver(const std::string& chunk);

    std::string Host;
    int32_t Port = 23;
    std::string Terminal = "dumb";
    // Run inside Connect before it counts as done; may raise.
    std::function<void()> OnConnect;
    // Run inside Disconnect; may raise.
    std::function<void()> OnDisconnect;
    // Sees each character before it counts as sent.
    std::function<void(char)> OnTransmit;
    // With no connection the client refuses every character.
    bool TransmitFails = false;

private:
    TFakeClientRecord& Record;
    TIdStatusEvent OnStatus;
    TTnDataAvail OnDataAvailable;
};
