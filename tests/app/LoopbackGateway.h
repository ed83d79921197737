// A gateway written for the window's end-to-end tests: it listens on
// 127.0.0.1 port 0, takes one client, records every line it receives and
// answers reads from a small memory, on a thread of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LoopbackListener.h"
#include "tests/support/UniqueFd.h"

class LoopbackGateway {
public:
    // `memory`: descriptor -> data bytes answered to "< 2001 GET_MEM <descriptor>".
    explicit LoopbackGateway(std::map<std::string, std::string> memory);
    // Stops the thread and closes every socket.
    ~LoopbackGateway();
    LoopbackGateway(const LoopbackGateway&) = delete;
    LoopbackGateway& operator=(const LoopbackGateway&) = delete;

    int32_t Port() const { return Listener.Port(); }
    // Non-empty lines received so far, without their line ends.
    std::vector<std::string> Lines() const;
    bool ClientConnected() const;
    bool ClientClosed() const;

    // Sends `text` to the client / closes the client's connection (the peer's close).
    void Send(const std::string& text);
    void CloseClient();

    // Called on the gateway thread after each change that Lines, ClientConnected or ClientClosed
    // show.
    std::function<void()> OnChange;

private:
    void Serve();
    void Take(const std::string& bytes);
    void Answer(const std::string& line);
    void Changed();
    // A client that has gone shows at the next receive, so a failed send is let be.
    void SendToClient(const std::string& text);

    std::map<std::string, std::string> Memory;
    loopback::Listener Listener;
    UniqueFd Client;       // gateway thread only
    UniqueFd WakeReceiver; // the wake pipe's ends
    UniqueFd WakeSender;
    std::string Partial; // gateway thread only
    mutable std::mutex Lock;
    std::vector<std::string> Received; // guarded
    std::vector<std::string> Outbox;   // guarded; texts to send
    bool CloseRequested = false;       // guarded
    bool StopRequested = false;        // guarded
    bool Connected = false;            // guarded
    bool Closed = false;               // guarded
    std::thread Worker;
};
