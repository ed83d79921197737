// The Telnet session's receive side without a socket: separates commands from
// data in each received chunk and produces the fixed negotiation replies.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class TComponent;

// The parser's state between two received bytes; kept across chunks.
enum TIdTelnetState : uint8_t {
    tsData = 0,
    tsCommand = 1,
    tsSubBegin = 2,
    tsWill = 3,
    tsDo = 4,
    tsWont = 5,
    tsDont = 6,
    tsSubBeginIac = 7,
    tsSubData = 8,
    tsSubDataIac = 9
};

// Echo negotiation as the session's owner is told of it.
enum TTelnetCommand { ceServerEchoes = 0, ceClientEchoes = 1, ceNoEcho = 2 };

using TOnTelnetCommand = std::function<void(TComponent* Sender, TTelnetCommand Status)>;

// Used by the reader thread only, except IsTelnetPeer and the terminal name,
// which the session's owner also reaches from the GUI thread.
class TIdTelnetParser {
public:
    // Returns the data text of `chunk`: commands removed, a doubled 255 kept
    // once. Negotiation replies are written through WriteReply on the way.
    // Taken by value: the text is made in the chunk's memory, so a caller that
    // moves its chunk in pays no copy.
    std::string ProcessInput(std::string chunk);

    // Answers a completed subnegotiation whose data is the terminal-type SEND
    // (RFC 1091) with IAC SB TERMINAL-TYPE IS <Terminal> IAC SE.
    void HandleSubnegotiation(uint8_t option, const std::string& data, int32_t count);

    // Calls OnCommand if it is set.
    void NotifyTelnetCommand(TTelnetCommand status);

    // Writes `reply` as one write through WriteReply, then empties it.
    void SendReply(std::string& reply);

    // The name sent in the terminal-type reply; set from the GUI thread while
    // the reader may be answering, hence the lock.
    void SetTerminal(const std::string& terminal);
    std::string GetTerminal() const;

    TIdTelnetState ParserState = tsData;
    uint8_t LastReply = 0; // reply command of the negotiation being answered
    // True from the first IAC received; the owner clears it on disconnect.
    std::atomic<bool> IsTelnetPeer{false};

    // Writes one negotiation reply to the connection as one write; raising
    // from here ends the chunk (and the reader thread).
    std::function<void(const std::string& reply)> WriteReply;
    // Told of echo negotiation before the reply for it is written.
    std::function<void(TTelnetCommand status)> OnCommand;

private:
    void AnswerNegotiation(TIdTelnetState received, uint8_t option);

    mutable std::mutex TerminalLock;
    std::string Terminal = "dumb";
};
