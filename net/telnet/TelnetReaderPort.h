// What the Telnet reader thread needs of its session, and no more: the reader
// and the client know each other only through this.
#pragma once

#include <string>

class TTelnetReaderPort {
public:
    // Blocks until bytes arrive or the connection closes; returns what is queued.
    virtual std::string TakeReceived() = 0;
    // The data text of a chunk; its negotiation replies are written on the way.
    virtual std::string ParseReceived(std::string chunk) = 0;
    // GUI thread, through the reader's synchronised call: one piece of text.
    virtual void DeliverReceived(const std::string& text) = 0;
    // Raises "Connection Closed Gracefully." once the peer has closed.
    virtual void CheckStillOpen() = 0;

protected:
    ~TTelnetReaderPort() = default;
};
