// One client of the simulator without its socket: received bytes in, the
// sends it owes out, with the fault options (split, delay, garbage, close)
// applied. The server moves the bytes; the session decides them.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "gateway-sim/DeviceMemory.h"
#include "gateway-sim/LineSplitter.h"
#include "gateway-sim/SimOptions.h"
#include "gateway-sim/TelnetFilter.h"

using TSimClock = std::chrono::steady_clock;

class TClientSession {
public:
    static constexpr size_t MaxLineLength = 1024;

    TClientSession(int id, const TSimOptions& options, TDeviceMemory& memory);

    // Queues the Telnet option requests when speaking Telnet.
    void Open();
    // Input after the close-after limit is read and dropped.
    void Receive(std::string_view bytes, TSimClock::time_point now);
    // Moves the answers that are due into the send queue.
    void Release(TSimClock::time_point now);
    // When the next delayed answer falls due.
    std::optional<TSimClock::time_point> NextDue() const;

    // The next send, or nullptr when nothing is owed right now.
    const std::string* NextSend() const;
    // `count` bytes of the next send have left; it is done when all have.
    void Sent(size_t count);
    size_t QueuedBytes() const { return Queued; }

    // The close-after limit was reached and every answer has been sent.
    bool Finished() const;
    int Id() const { return ClientId; }

private:
    struct TDelayed {
        TSimClock::time_point Due;
        std::string Bytes;
    };

    void HandleData(char c, TSimClock::time_point now);
    void HandleLine(const TLineEvent& event, TSimClock::time_point now);
    void Echo(char c);
    void Answer(const std::string& line, TSimClock::time_point now);
    void QueueSend(const std::string& bytes);
    void QueuePieces(const std::string& bytes);
    bool Echoing() const;
    std::string Wire(std::string_view text) const;

    int ClientId;
    const TSimOptions& Options;
    TDeviceMemory& Memory;
    TTelnetFilter Telnet;
    TLineSplitter Splitter{MaxLineLength};
    std::deque<std::string> Sends;
    std::deque<TDelayed> Delayed;
    std::string PendingEcho;
    size_t Queued = 0;
    unsigned LinesReceived = 0;
    bool CloseRequested = false;
    bool LineHasVisibleEcho = false;
};
