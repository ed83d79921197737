// The gateway session: connect under a deadline, typed command lines, the
// answers handled on the session's own thread while it waits for them.
#include "session/GatewaySession.h"

#include "net/stack/IdException.h"
#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdThread.h"
#include "protocol/CommandLines.h"
#include "session/ConnectWatch.h"

namespace {

// "5 s", "0.3 s", "0.05 s", "1.25 s": as many decimals as the milliseconds need.
std::string Seconds(std::chrono::milliseconds timeout) {
    const long long ms = timeout.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        text += "." + fraction;
    }
    return text + " s";
}

// A line of a device's answer is never longer than this; a piece that would
// make it longer is no part of one.
constexpr size_t MaxLineLength = 1024;

bool EndsLine(const std::string& chunk) {
    return !chunk.empty() && (chunk.back() == '\n' || chunk.back() == '\r');
}

} // namespace

TGatewaySession::TGatewaySession(TSessionSettings settings, TTranscript& transcript)
    : FSettings(std::move(settings)), Log(transcript), Deliveries(std::make_shared<TCallQueue>()),
      Telnet(std::make_unique<TIdTelnet>()),
      Dialogue(*Telnet, [this](const std::string& entry) { Log.Add(entry); }) {
    Telnet->DeliveryQueue = Deliveries;
    Telnet->SetOnDataAvailable([this](const std::string& buffer) { DataAvailable(buffer); });
}

TGatewaySession::~TGatewaySession() {
    try {
        Disconnect();
    } catch (...) {
        // Leaving after the gateway has gone is no error.
    }
}

void TGatewaySession::Connect() {
    Telnet->SetHost(FSettings.Host);
    Telnet->SetPort(FSettings.Port);
    const TProxySettings& proxy = FSettings.Proxy;
    Telnet->SocksInfo.Version = proxy.Version;
    Telnet->SocksInfo.Host = proxy.Host;
    Telnet->SocksInfo.Port = proxy.Port;
    Telnet->SocksInfo.UserID = proxy.User;
    Telnet->SocksInfo.Password = proxy.Password;
    Telnet->SocksInfo.Authentication =
        proxy.User.empty() && proxy.Password.empty() ? saNoAuthentication : saUsernamePassword;

    // The watch is cancelled before a failed connect's clean-up closes the
    // socket ("Disconnecting" comes first), so it never shuts down a socket
    // number reused elsewhere. Only this thread's reports count: the
    // reader's come after the connect and never see a watch.
    TConnectFailure how;
    Telnet->SetOnStatus([this, &how](TObject*, TIdStatus status, const std::string& text) {
        if (status == stDisconnecting && Deliveries->IsOwner() && ActiveWatch)
            ActiveWatch->Cancel();
        if (status == stConnecting && Deliveries->IsOwner()) how.Connecting = true;
        Log.Add(text);
    });
    bool expired = false;
    std::string failure;
    const auto deadline = std::chrono::steady_clock::now() + FSettings.Timeout;
    // The watch cannot wake a host name lookup; the lookup ends by itself then.
    Telnet->ConnectDeadline = deadline;
    {
        TConnectWatch watch(deadline, [this] {
            // Released through the handle, which wakes a blocked call the way
            // the platform allows (shutdown on Linux, closing on Windows).
            // Only the descriptor: the binding stays, as the session's thread
            // may be reading it for a status report.
            Telnet->SocketHandle.ReleaseDescriptor();
        });
        ActiveWatch = &watch;
        try {
            Telnet->Connect();
        } catch (const Exception& e) {
            failure = e.Message;
            how.Cause = std::current_exception();
        }
        watch.Cancel();
        ActiveWatch = nullptr;
        expired = watch.Expired();
    }
    Telnet->SetOnStatus([this](TObject*, TIdStatus, const std::string& text) { Log.Add(text); });
    if (failure.empty() && !expired) return;
    if (!failure.empty()) Log.Add(failure);
    // A failed proxy negotiation leaves the socket open to the proxy.
    Disconnect();
    how.TimedOut = expired;
    if (expired)
        throw ESessionError(TSessionFailure::Network,
                            "no connection to " + FSettings.Host + ":" +
                                std::to_string(FSettings.Port) + " within " +
                                Seconds(FSettings.Timeout) + " (" +
                                (failure.empty() ? "timed out" : failure) + ")",
                            how);
    throw ESessionError(TSessionFailure::Network, failure, how);
}

TDeviceValues TGatewaySession::Read(const std::vector<TMemoryField>& wanted) {
    Received = {};
    PartialLine.clear();
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = StartOperation();
    const auto missing = [&] {
        std::vector<TMemoryField> fields;
        for (const TMemoryField field : wanted)
            if (!Received[field]) fields.push_back(field);
        return fields;
    };
    const auto settled = [&] { return missing().empty() || ReaderEnded() || !SendFailure.empty(); };
    Send([this] { Dialogue.ReadAll(FSettings.Gateway); });
    // Half the time for the answers; a field still missing then is asked for
    // once more (an answer may have been lost on the way), the rest of the
    // time for the second answer.
    Deliveries->ServeUntil(settled, started + FSettings.Timeout / 2);
    if (!settled()) {
        // A connection that closed meanwhile is told with the fields it left missing.
        try {
            for (const TMemoryField field : missing())
                Dialogue.TypeLine(ReadMemoryLine(FSettings.Gateway, Descriptor(field)));
        } catch (const EIdException& e) {
            Log.Add(e.Message);
            SendFailure = e.Message;
        }
        Deliveries->ServeUntil(settled, deadline);
    }
    const std::vector<TMemoryField> absent = missing();
    if (absent.empty()) return Received;
    if (!SendFailure.empty())
        RaiseNetwork(SendFailure + " (no answer for " + FieldList(absent) + ")");
    if (ReaderEnded()) {
        const std::shared_ptr<TIdThread> reader = Telnet->ReaderThread();
        std::string why = reader ? reader->TerminatingMessage : std::string();
        if (why.empty()) why = EIdConnClosedGracefully().Message;
        RaiseNetwork(why + " (no answer for " + FieldList(absent) + ")");
    }
    throw ESessionError(TSessionFailure::Device, "no answer within " + Seconds(FSettings.Timeout) +
                                                     " for " + FieldList(absent));
}

void TGatewaySession::Write(const std::vector<TWrite>& writes, std::vector<TMemoryField>& written) {
    StartOperation();
    for (const TWrite& write : writes) {
        Send([&] { Dialogue.Write(FSettings.Gateway, write.Field, write.Text); });
        written.push_back(write.Field);
    }
}

// Closing at once while received bytes wait unread (the restart banner) would
// send a reset segment, and that discards what is still on its way, the tail
// of the RESET line on a slow link. So the sending side is ended first and
// whatever comes is read until the gateway closes too, or the timeout ends.
void TGatewaySession::Reset() {
    const auto deadline = StartOperation();
    Send([this] { Dialogue.Reset(FSettings.Gateway); });
    Closing = true;
    Telnet->SocketHandle.ShutdownSend();
    Deliveries->ServeUntil([this] { return ReaderEnded(); }, deadline);
}

void TGatewaySession::Disconnect() {
    Telnet->Disconnect();
    // Waiting here serves the reader's last hand-over, if it is in one.
    if (const std::shared_ptr<TIdThread> reader = Telnet->ReaderThread()) reader->WaitFor();
}

// Every send of the operation, the reader's included, and every wait for its
// answers end by the deadline: a gateway that stops reading cannot hold it.
std::chrono::steady_clock::time_point TGatewaySession::StartOperation() {
    const auto deadline = std::chrono::steady_clock::now() + FSettings.Timeout;
    Telnet->SetSendDeadline(deadline);
    SendFailure.clear();
    return deadline;
}

void TGatewaySession::Send(const std::function<void()>& typing) {
    try {
        typing();
    } catch (const EIdException& e) {
        Log.Add(e.Message);
        RaiseNetwork(e.Message);
    }
}

void TGatewaySession::DataAvailable(const std::string& buffer) {
    if (Closing) return; // nothing more goes back once the reset has gone
    // Once a return could not be sent, the operation has failed; Read tells
    // so, not the reader.
    if (!SendFailure.empty()) return;
    try {
        if (const std::optional<TMemoryAnswer> answer =
                Dialogue.TakeChunk(FSettings.Gateway, buffer))
            Received[answer->Field] = answer->Text;
    } catch (const EIdException& e) {
        Log.Add(e.Message);
        SendFailure = e.Message;
    }
    TakeWholeLine(buffer);
}

// The reader hands over each line, or the piece of one that has come so far.
// Toward the gateway each piece was answered as the window answers it; here
// the pieces of a line are joined, and the whole line is recognised too.
void TGatewaySession::TakeWholeLine(const std::string& piece) {
    const bool whole = PartialLine.empty();
    if (PartialLine.size() + piece.size() > MaxLineLength) PartialLine.clear();
    PartialLine += piece;
    if (!EndsLine(piece)) return;
    const std::string line = std::move(PartialLine);
    PartialLine.clear();
    if (whole) return; // the chunk was the line: taken above
    if (const std::optional<TMemoryAnswer> answer =
            RecogniseMemoryAnswer(TrimControls(line), FSettings.Gateway))
        Received[answer->Field] = answer->Text;
}

bool TGatewaySession::ReaderEnded() const {
    const std::shared_ptr<TIdThread> reader = Telnet->ReaderThread();
    return !reader || reader->Finished();
}

void TGatewaySession::RaiseNetwork(const std::string& message) {
    throw ESessionError(TSessionFailure::Network, message);
}
