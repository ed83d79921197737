// The gateway session: connect under a deadline, typed command lines, the
// answers handled on the session's own thread while it waits for them.
#include "session/GatewaySession.h"

#include "net/stack/IdException.h"
#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdThread.h"
#include "session/ConnectWatch.h"

namespace {

std::string Seconds(std::chrono::milliseconds timeout) {
    const long long ms = timeout.count();
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
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
            Telnet->SocketHandle.ReleaseSocket(false);
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

TDeviceValues TGatewaySession::Read() {
    Received = {};
    const auto deadline = StartOperation();
    Send([this] { Dialogue.ReadAll(FSettings.Gateway); });
    Deliveries->ServeUntil(
        [this] { return Received.Missing().empty() || ReaderEnded() || !SendFailure.empty(); },
        deadline);
    const std::vector<TMemoryField> missing = Received.Missing();
    if (missing.empty()) return Received;
    if (!SendFailure.empty())
        RaiseNetwork(SendFailure + " (no answer for " + FieldList(missing) + ")");
    if (ReaderEnded()) {
        const std::shared_ptr<TIdThread> reader = Telnet->ReaderThread();
        std::string why = reader ? reader->TerminatingMessage : std::string();
        if (why.empty()) why = EIdConnClosedGracefully().Message;
        RaiseNetwork(why + " (no answer for " + FieldList(missing) + ")");
    }
    throw ESessionError(TSessionFailure::Device, "no answer within " + Seconds(FSettings.Timeout) +
                                                     " for " + FieldList(missing));
}

void TGatewaySession::Write(const std::vector<TWrite>& writes, std::vector<TMemoryField>& written) {
    StartOperation();
    for (const TWrite& write : writes) {
        Send([&] { Dialogue.Write(FSettings.Gateway, write.Field, write.Text); });
        written.push_back(write.Field);
    }
}

void TGatewaySession::Reset() {
    StartOperation();
    Send([this] { Dialogue.Reset(FSettings.Gateway); });
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
}

bool TGatewaySession::ReaderEnded() const {
    const std::shared_ptr<TIdThread> reader = Telnet->ReaderThread();
    return !reader || reader->Finished();
}

void TGatewaySession::RaiseNetwork(const std::string& message) {
    throw ESessionError(TSessionFailure::Network, message);
}
