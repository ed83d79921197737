// The client end of one Telnet session (RFC 854) over a TCP connection: fixed
// option negotiation, per-character sending, and a reader thread per connect.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/tcp/IdTCPClient.h"
#include "net/telnet/IdTelnetInterface.h"
#include "net/telnet/IdTelnetParser.h"
#include "net/telnet/IdThread.h"
#include "net/telnet/TelnetReaderPort.h"
#include "runtime/CallQueue.h"

class TComponent;

using TOnTelnetCommand = std::function<void(TComponent* Sender, TTelnetCommand Status)>;
using TClientEvent = std::function<void()>;

// Threads: Connect, Disconnect, TransmitChar and destruction run on the GUI
// thread; the reader parses, answers negotiation and reports the peer's close
// on its own. Both write to the one connection, each write as one unit.
class TIdTelnet : public TIdTCPClient, public TIdTelnetInterface, private TTelnetReaderPort {
public:
    explicit TIdTelnet(TComponent* owner = nullptr);
    // Stops a reader that still runs and waits for its end; see the .cpp.
    ~TIdTelnet() override;

    // OnConnect, the TCP connect, then a reader. A socket failure on the way
    // becomes EIdTelnetClientConnectError; anything else passes unchanged.
    void Connect() override;
    // Signals the reader (never waits for it), forgets that the peer speaks
    // Telnet, closes the socket and fires OnDisconnect - on every call.
    void Disconnect() override;
    void TransmitChar(char ch) override;
    // The one way out for the session's bytes, shared by the reader's
    // negotiation replies and the GUI thread's characters.
    void WriteText(const std::string& text) override;

    // Reader thread: the data text of a received chunk, with its notices told
    // and its replies written on the way; a reply that cannot be written raises.
    std::string ProcessInput(std::string chunk);
    // GUI thread, through the reader's synchronised call.
    void DeliverReceivedData(const std::string& receivedText);
    void NotifyTelnetCommand(TTelnetCommand status);

    // True from the first IAC received until Disconnect.
    bool IsTelnetPeer() const { return FIsTelnetPeer.load(); }
    // The reader of the last successful Connect, running or ended (its
    // TerminatingMessage says why); empty before the first.
    std::shared_ptr<TIdThread> ReaderThread() const { return FReaderThread; }

    void SetHost(const std::string& host) override { Host = host; }
    std::string GetHost() const override { return Host; }
    void SetPort(int32_t port) override { Port = port; }
    int32_t GetPort() const override { return Port; }
    // The name sent in the terminal-type reply; set from the GUI thread while
    // the reader may be answering, hence the lock.
    void SetTerminal(const std::string& terminal) override;
    std::string GetTerminal() const override;
    // The reader reports the peer's close through this handler on its own
    // thread; setting it is safe while a session runs.
    void SetOnStatus(TIdStatusEvent handler) override;
    void SetOnDataAvailable(TTnDataAvail handler) override { OnDataAvailable = std::move(handler); }

    TTnDataAvail OnDataAvailable;
    TOnTelnetCommand OnTelnetCommand; // called on the reader thread
    TClientEvent OnConnect;
    TClientEvent OnDisconnect;
    // Set before Connect: received text is handed to this queue's owner
    // instead of the GUI thread (a program without one gives each session
    // its own). Empty: the GUI thread, through Synchronize.
    std::shared_ptr<TCallQueue> DeliveryQueue;

private:
    std::string TakeReceived() override { return TakeAvailable(); }
    std::string ParseReceived(std::string chunk) override { return ProcessInput(std::move(chunk)); }
    void DeliverReceived(const std::string& text) override { DeliverReceivedData(text); }
    void CheckStillOpen() override { CheckPeerClosed(true, false); }
    std::shared_ptr<TCallQueue> DeliveryTarget() const override { return DeliveryQueue; }

    // The name to send, "dumb" for an empty one.
    std::string TerminalToSend() const;
    void EndFinishedReader();
    void ForwardStatus(TObject* sender, TIdStatus status, const std::string& text);

    // Held until the next Connect or the destructor, which wait for it: an
    // ended reader's last steps on this object are ordered before either
    // only by that wait.
    std::shared_ptr<TIdThread> FReaderThread;
    TIdTelnetState ParserState = tsData; // reader thread only
    std::atomic<bool> FIsTelnetPeer{false};
    mutable std::mutex TerminalLock;
    std::string Terminal = "dumb"; // guarded by TerminalLock
    // One writer at a time, waited for only until the send deadline: a writer
    // blocked on a peer that stopped reading holds the turn until then at
    // most. (A timed mutex would do, but ThreadSanitizer cannot see its
    // timed lock and then reports every unlock.)
    std::mutex WriteLock;
    std::condition_variable WriteFree;
    bool Writing = false; // guarded by WriteLock
    std::mutex StatusLock;
    TIdStatusEvent StatusHandler; // guarded by StatusLock
    bool Delivering = false;      // GUI thread: inside OnDataAvailable
};
