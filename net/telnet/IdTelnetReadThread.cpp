// One pass of the Telnet reader: take what arrived, parse it, hand the text
// to the GUI thread line by line and wait there, then see whether the peer
// has closed.
#include "net/telnet/IdTelnetReadThread.h"

#include "net/telnet/IdTelnet.h"
#include "net/telnet/ReceivedLines.h"

TIdTelnetReadThread::TIdTelnetReadThread(TIdTelnet* client) : TIdThread(false), Client(client) {}

// Ends by exception: the close check raises "Connection Closed Gracefully."
// after the peer's close, the hand-over raises what the GUI side raised, and a
// negotiation reply that cannot be written raises its socket error.
//
// Lines go over one at a time because the receiver recognises one answer per
// hand-over: answers that piled up while the GUI thread was busy would
// otherwise arrive as one text and all but the first would be lost.
void TIdTelnetReadThread::RunStep() {
    const std::string chunk = Client->TakeAvailable();
    // After Disconnect the owner wants nothing more from this session: no
    // replies on a closed socket, no text delivered after the close.
    if (Terminated()) return;
    for (std::string& piece : SplitAfterLineEnds(Client->ProcessInput(chunk))) {
        if (Terminated()) return;
        ReceivedText = std::move(piece);
        Synchronize([this] { Client->DeliverReceivedData(ReceivedText); });
    }
    Client->CheckPeerClosed(true, false);
}
