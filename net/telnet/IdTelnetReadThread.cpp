// One pass of the Telnet reader: take what arrived, parse it, hand the text
// to the GUI thread line by line and wait there, then see whether the peer
// has closed.
#include "net/telnet/IdTelnetReadThread.h"

#include <chrono>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "net/telnet/ReceivedLines.h"

namespace {

// How long one synchronised call may keep the GUI thread delivering lines: a
// frame of a 60 Hz display.
constexpr std::chrono::milliseconds HandOverBudget{16};

} // namespace

TIdTelnetReadThread::TIdTelnetReadThread(TIdTelnet* client) : TIdThread(false), Client(client) {}

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
    const std::string chunk = Client->TakeAvailable();
    // After Disconnect the owner wants nothing more from this session: no
    // replies on a closed socket, no text delivered after the close.
    if (Terminated()) return;
    std::vector<std::string> pieces = SplitAfterLineEnds(Client->ProcessInput(chunk));
    size_t next = 0;
    while (next < pieces.size()) {
        if (Terminated()) return;
        Synchronize([this, &pieces, &next] {
            const auto until = std::chrono::steady_clock::now() + HandOverBudget;
            do {
                ReceivedText = std::move(pieces[next++]);
                Client->DeliverReceivedData(ReceivedText);
            } while (next < pieces.size() && !Terminated() && std::chrono::steady_clock::now() < until);
        });
    }
    Client->CheckPeerClosed(true, false);
}
