// One pass of the Telnet reader: take what arrived, parse it, hand the text
// to the GUI thread line by line and wait there, then see whether the peer
// has closed.
#include "net/telnet/IdTelnetReadThread.h"

#include <chrono>
#include <utility>

#include "net/telnet/IdTelnet.h"
#include "net/telnet/ReceivedLines.h"

namespace {

// How long one synchronised call may keep the GUI thread delivering lines: a
// frame of a 60 Hz display.
constexpr std::chrono::milliseconds HandOverBudget{16};
// The clock is read after every this many lines, not after each: reading it
// cost as much as the rest of a short line's delivery. A call may thus run
// over its budget by the handlers of up to this many lines less one.
constexpr size_t LinesPerClockCheck = 8;

} // namespace

TIdTelnetReadThread::TIdTelnetReadThread(TIdTelnet* client) : TIdThread(false), Client(client) {
    SetSyncTarget(client->DeliveryQueue);
}

// Ends by exception: the close check raises "Connection Closed Gracefully."
// after the peer's close, the hand-over raises what the GUI side raised, and a
// negotiation reply that cannot be written raises its socket error.
//
// Lines go over one at a time because the receiver recognises one answer per
// hand-over: answers that piled up while the GUI thread was busy would
// otherwise arrive as one text and all but the first would be lost.
//
// One synchronised call per line would make a stream of short lines cost a
// thread round trip each (a hundredfold slowdown on a 32 KiB chunk), so one
// call delivers as many lines as fit in HandOverBudget, each to its own
// OnDataAvailable, and the GUI thread gets back to its events in between.
void TIdTelnetReadThread::RunStep() {
    std::string chunk = Client->TakeAvailable();
    // After Disconnect the owner wants nothing more from this session: no
    // replies on a closed socket, no text delivered after the close.
    if (Terminated()) return;
    const std::string text = Client->ProcessInput(std::move(chunk));
    SplitAfterLineEnds(text, Pieces);
    size_t next = 0;
    while (next < Pieces.size()) {
        if (Terminated()) return;
        Synchronize([this, &next] { DeliverPieces(next); });
    }
    Client->CheckPeerClosed(true, false);
}

void TIdTelnetReadThread::DeliverPieces(size_t& next) {
    const auto until = std::chrono::steady_clock::now() + HandOverBudget;
    for (size_t delivered = 1;; ++delivered) {
        ReceivedText.assign(Pieces[next++]);
        Client->DeliverReceivedData(ReceivedText);
        if (next == Pieces.size() || Terminated()) return;
        if (delivered % LinesPerClockCheck == 0 && std::chrono::steady_clock::now() >= until)
            return;
    }
}
