// The Telnet session: connect with its reader, disconnect, the carriage-return
// rule of TransmitChar, serialised writes, and delivery of received text.
#include "net/telnet/IdTelnet.h"

#include <exception>
#include <utility>

#include "net/stack/IdException.h"
#include "net/telnet/IdTelnetReadThread.h"

TIdTelnet::TIdTelnet(TComponent* owner) : TIdTCPClient(owner) {
    Port = 23;
    // OnStatus itself is read by the reader without a lock, so it is set once,
    // here; the owner's handler sits behind it where it can be swapped safely.
    OnStatus = [this](TObject* sender, TIdStatus status, const std::string& text) {
        ForwardStatus(sender, status, text);
    };
}

// A reader still running would go on using this object, so it is stopped and
// waited for here. On the GUI thread the wait serves the reader's pending
// synchronised call; with the handlers cleared first, that call cannot reach
// an owner that is itself being torn down: the missing OnDataAvailable raises
// back into the reader and ends it. A reader that has ended by itself is
// waited for as well: its last steps on this object must be over.
TIdTelnet::~TIdTelnet() {
    OnDataAvailable = nullptr;
    SetOnStatus(nullptr);
    if (!FReaderThread) return;
    FReaderThread->Terminate();
    if (!FReaderThread->Finished()) {
        try {
            DropSocket(); // wakes a reader blocked in its wait for data
        } catch (...) {
            // An OnDisconnected handler that raises must not stop the wait below.
        }
    }
    FReaderThread->WaitFor();
}

void TIdTelnet::SetOnStatus(TIdStatusEvent handler) {
    const std::lock_guard lock(StatusLock);
    StatusHandler = std::move(handler);
}

// The copy is called outside the lock: a handler that reports again, or waits
// for the GUI thread, must not deadlock with a destructor clearing it.
void TIdTelnet::ForwardStatus(TObject* sender, TIdStatus status, const std::string& text) {
    TIdStatusEvent handler;
    {
        const std::lock_guard lock(StatusLock);
        handler = StatusHandler;
    }
    if (handler) handler(sender, status, text);
}

void TIdTelnet::Connect() {
    try {
        if (OnConnect) OnConnect();
        EndFinishedReader();
        TIdTCPClient::Connect();
        if (!IsConnected()) return;
        try {
            FReaderThread = StartTelnetReader(this);
        } catch (...) {
            Disconnect(); // an open session nobody reads would look alive
            throw;
        }
    } catch (const EIdSocketError&) {
        // The socket error stays reachable (std::rethrow_if_nested) for a
        // caller that names the cause; the message is the client's own.
        std::throw_with_nested(EIdTelnetClientConnectError());
    }
}

// The reader of an earlier session may still be finishing after Disconnect or
// the peer's close (its socket is gone, so it ends at once). It must be gone
// before the connection is reset for the new socket, which it would otherwise
// share with the new reader.
void TIdTelnet::EndFinishedReader() {
    // With the socket still open the inherited connect refuses anyway.
    if (!FReaderThread || SocketHandle.SocketAllocated()) return;
    // Called from the reader's own delivery, waiting would never end.
    if (Delivering) throw EIdAlreadyConnected();
    FReaderThread->Terminate();
    FReaderThread->WaitFor();
    FReaderThread.reset();
}

void TIdTelnet::Disconnect() {
    if (FReaderThread) FReaderThread->Terminate();
    FIsTelnetPeer = false;
    TIdTCPClient::Disconnect();
    if (OnDisconnect) OnDisconnect();
}

// A plain text server gets CR LF as its line end (RFC 854's NVT newline);
// once the peer has shown that it speaks Telnet, a carriage return goes alone.
// Nothing is escaped: a 255 leaves as one byte 255.
void TIdTelnet::TransmitChar(char ch) {
    if (ch != '\r')
        WriteText(std::string(1, ch));
    else if (IsTelnetPeer())
        WriteText("\r");
    else
        WriteLine();
}

// Without the lock, a reply and a character written at once would interleave
// their partial sends and race on the connection's send-side state. The wait
// for it ends at the send deadline, as the send itself does.
void TIdTelnet::WriteText(const std::string& text) {
    const auto deadline = SendDeadline();
    {
        std::unique_lock lock(WriteLock);
        const auto free = [this] { return !Writing; };
        if (deadline == std::chrono::steady_clock::time_point::max())
            WriteFree.wait(lock, free);
        else if (!WriteFree.wait_until(lock, deadline, free))
            throw EIdSendTimedOut();
        Writing = true;
    }
    // The turn ends however the send ends.
    struct TTurnEnd {
        TIdTelnet& Client;
        ~TTurnEnd() {
            {
                const std::lock_guard lock(Client.WriteLock);
                Client.Writing = false;
            }
            Client.WriteFree.notify_one();
        }
    } const turnEnd{*this};
    TIdTCPClient::WriteText(text);
}

// Notices and replies go out in the order their commands came, each notice
// before its reply; a reply that cannot be written ends the chunk there.
std::string TIdTelnet::ProcessInput(std::string chunk) {
    TTelnetParsed parsed = ParseTelnet(ParserState, std::move(chunk), TerminalToSend());
    if (parsed.CommandSeen) FIsTelnetPeer = true;
    if (parsed.TerminalSent) {
        const std::lock_guard lock(TerminalLock);
        if (Terminal.empty()) Terminal = "dumb"; // what the peer was told
    }
    for (const TTelnetAnswer& answer : parsed.Answers) {
        if (answer.Notice) NotifyTelnetCommand(*answer.Notice);
        WriteText(answer.Bytes);
    }
    return std::move(parsed.Data);
}

void TIdTelnet::SetTerminal(const std::string& terminal) {
    const std::lock_guard lock(TerminalLock);
    Terminal = terminal;
}

std::string TIdTelnet::GetTerminal() const {
    const std::lock_guard lock(TerminalLock);
    return Terminal;
}

std::string TIdTelnet::TerminalToSend() const {
    const std::lock_guard lock(TerminalLock);
    return Terminal.empty() ? std::string("dumb") : Terminal;
}

void TIdTelnet::DeliverReceivedData(const std::string& receivedText) {
    if (!OnDataAvailable) throw EIdTelnetServerOnDataAvailableIsNil();
    // A copy: the handler may replace itself while it runs.
    const TTnDataAvail handler = OnDataAvailable;
    Delivering = true;
    try {
        handler(receivedText);
    } catch (...) {
        Delivering = false;
        throw;
    }
    Delivering = false;
}

void TIdTelnet::NotifyTelnetCommand(TTelnetCommand status) {
    if (OnTelnetCommand) OnTelnetCommand(this, status);
}
