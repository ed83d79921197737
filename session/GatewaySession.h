// One gateway session without a window: connect (optionally through a SOCKS
// proxy), read the five parameters, write the three writable ones, reset,
// disconnect. Toward the gateway it behaves as the window does: the same
// lines, typed one character per network write, every unrecognised chunk
// answered with one carriage return.
//
// Threads: all calls on one thread, the session's. Received text is handed
// to that thread (not to a GUI thread) and handled while it waits for
// answers, so a process can run many sessions at once, one per thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogue/GatewayDialogue.h"
#include "runtime/CallQueue.h"
#include "session/DeviceValues.h"
#include "session/SessionError.h"
#include "session/SessionSettings.h"
#include "session/Transcript.h"

class TIdTelnet;

class TGatewaySession {
public:
    TGatewaySession(TSessionSettings settings, TTranscript& transcript);
    // Disconnects and waits for the reader.
    ~TGatewaySession();
    TGatewaySession(const TGatewaySession&) = delete;
    TGatewaySession& operator=(const TGatewaySession&) = delete;

    // ESessionError(Network) with the network layer's message, or naming the
    // timeout; the session is closed again then.
    void Connect();
    // Sends the five reads and waits until the `wanted` fields have been
    // answered or the timeout passes; a field still missing half way is asked
    // for once more. An answer whose line arrives in pieces is taken too.
    // ESessionError(Device) names the missing fields; ESessionError(Network)
    // when the connection ended or a send failed first.
    TDeviceValues Read(const std::vector<TMemoryField>& wanted = {AllMemoryFields.begin(),
                                                                  AllMemoryFields.end()});
    // One write line per entry, in order, each value given as the window
    // converts it (device address and PAN ID as hexadecimal text, the
    // channel as its number in hexadecimal). `written` receives each field
    // whose line has gone out, also when a later one fails.
    struct TWrite {
        TMemoryField Field;
        std::string Text;
    };
    void Write(const std::vector<TWrite>& writes, std::vector<TMemoryField>& written);
    void Reset();
    void Disconnect();

    const TSessionSettings& Settings() const { return FSettings; }

private:
    // Runs `typing`; a network error is logged and raised as ESessionError(Network).
    void Send(const std::function<void()>& typing);
    std::chrono::steady_clock::time_point StartOperation();
    void DataAvailable(const std::string& buffer);
    void TakeWholeLine(const std::string& piece);
    bool ReaderEnded() const;
    [[noreturn]] void RaiseNetwork(const std::string& message);

    TSessionSettings FSettings;
    TTranscript& Log;
    std::shared_ptr<TCallQueue> Deliveries;
    std::unique_ptr<TIdTelnet> Telnet;
    TGatewayDialogue Dialogue;
    TDeviceValues Received;  // filled by DataAvailable, on this thread
    std::string SendFailure; // why a send of this operation failed; this thread
    std::string PartialLine; // the pieces of a line received so far; this thread
    bool Closing = false;    // after the reset line: chunks are read, not answered; this thread
    class TConnectWatch* ActiveWatch = nullptr; // during Connect; this thread only
};
