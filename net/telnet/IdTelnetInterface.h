// The Telnet client as the window sees it: where to connect, the two events it
// raises, and the three operations it offers. TIdTelnet implements it; the
// window's tests put a double in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/stack/IdException.h"
#include "net/stack/IdStatus.h"

// Receives the data text of one received chunk, Telnet commands removed.
using TTnDataAvail = std::function<void(const std::string& Buffer)>;

class TIdTelnetInterface {
public:
    virtual ~TIdTelnetInterface() = default;

    virtual void SetHost(const std::string& host) = 0;
    virtual std::string GetHost() const = 0;
    virtual void SetPort(int32_t port) = 0;
    virtual int32_t GetPort() const = 0;
    virtual void SetTerminal(const std::string& terminal) = 0;
    virtual std::string GetTerminal() const = 0;

    // Called on the thread that caused the change: the caller's during
    // Connect and Disconnect, the reader's when the peer closes.
    virtual void SetOnStatus(TIdStatusEvent handler) = 0;
    // Always called on the GUI thread, one chunk at a time, in order.
    virtual void SetOnDataAvailable(TTnDataAvail handler) = 0;

    // Opens the connection and starts receiving; a socket failure on the way
    // raises EIdTelnetClientConnectError "server not responding".
    virtual void Connect() = 0;
    // Closes the connection if open and stops receiving; never waits for the reader.
    virtual void Disconnect() = 0;
    // Sends one character at once; a carriage return goes out as CR LF until
    // the peer has sent a Telnet command, as CR alone afterwards. Without an
    // open connection: EIdConnClosedGracefully.
    virtual void TransmitChar(char ch) = 0;
};
