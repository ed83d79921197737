// One pass of the Telnet reader: take what arrived, parse it, hand the text
// to the GUI thread and wait there, then see whether the peer has closed.
#include "net/telnet/IdTelnetReadThread.h"

#include "net/telnet/IdTelnet.h"

TIdTelnetReadThread::TIdTelnetReadThread(TIdTelnet* client) : TIdThread(false), Client(client) {}

// Ends by exception: the close check raises "Connection Closed Gracefully."
// after the peer's close, the hand-over raises what the GUI side raised, and a
// negotiation reply that cannot be written raises its socket error.
void TIdTelnetReadThread::RunStep() {
    const std::string chunk = Client->TakeAvailable();
    // After Disconnect the owner wants nothing more from this session: no
    // replies on a closed socket, no text delivered after the close.
    if (Terminated()) return;
    ReceivedText = Client->ProcessInput(chunk);
    Synchronize([this] { Client->DeliverReceivedData(ReceivedText); });
    Client->CheckPeerClosed(true, false);
}
