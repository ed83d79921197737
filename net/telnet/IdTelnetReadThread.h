// The reader of one Telnet session: waits for received bytes, parses them and
// hands the data text to the GUI thread line by line, until the session ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <memory>

#include "net/telnet/IdThread.h"
#include "net/telnet/TelnetReaderPort.h"
#include "runtime/CallQueue.h"

// Built and started by StartTelnetReader; the running thread keeps its own
// object alive and frees it when it ends.
class TIdTelnetReadThread : public TIdThread {
public:
    // Received text goes to `deliveries`' owner, or to the GUI thread when empty.
    TIdTelnetReadThread(TTelnetReaderPort* client, std::shared_ptr<TCallQueue> deliveries);

    TTelnetReaderPort* const Client; // not owned; outlives the thread
    // The piece of text being handed over; the GUI thread reads it while this
    // thread waits. Each piece is assigned into it, so it keeps its capacity.
    std::string ReceivedText;

protected:
    void RunStep() override;

private:
    // GUI thread: hands Pieces over from `next` on until the frame is spent.
    void DeliverPieces(size_t& next);

    // The current chunk's lines, pointing into its data text; kept between
    // chunks for its capacity.
    std::vector<std::string_view> Pieces;
};

// Starts a reader for `client`, which must outlive it; received text goes to
// `deliveries`' owner, or to the GUI thread when it is empty.
std::shared_ptr<TIdThread> StartTelnetReader(TTelnetReaderPort* client,
                                             std::shared_ptr<TCallQueue> deliveries);
