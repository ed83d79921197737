// A gateway scripted by the test, running in the test's process: it answers
// reads and takes writes as the simulator does, with the faults a test needs
// exactly where it needs them - bytes of its choice in an answer, a field
// never answered, answers cut into pieces that surely arrive one by one, or a
// flood of short lines while it never reads.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackListener.h"

struct GatewayScript {
    std::string Gateway = "2001";
    // The data of each memory location by its descriptor, as answered and as
    // written; a descriptor without an entry is never answered.
    std::map<std::string, std::string> Memory{{"01 00 08 00", "00 11 22 33 44 55 66 77"}, // MAC
                                              {"01 04 01 00", "2A"},          // device address
                                              {"84 00 04 00", "00 80 00 00"}, // channel 0F
                                              {"83 00 02 00", "34 12"},       // PAN ID
                                              {"87 00 01 00", "01"}};         // type
    // 0: each answer in one send. Otherwise each answer goes out in pieces of
    // this many bytes, the next only after the client's line end for the one
    // before, so that every piece reaches the client as a chunk of its own.
    size_t Piece = 0;
    // Descriptors whose first read goes unanswered, as if the answer was lost.
    std::set<std::string> LoseFirstAnswer;
    // Sends short lines without end from the start and never reads.
    bool Flood = false;
};

class ScriptedGateway {
public:
    // Listens on 127.0.0.1 and serves every client on a thread of its own.
    explicit ScriptedGateway(GatewayScript script = {});
    // Ends every connection and waits for its thread.
    ~ScriptedGateway();
    ScriptedGateway(const ScriptedGateway&) = delete;
    ScriptedGateway& operator=(const ScriptedGateway&) = delete;

    int32_t Port() const { return Listening.Port(); }
    // The command lines received so far, from every client, in order.
    std::vector<std::string> Lines() const;

private:
    void Accept();
    void Serve(int fd);
    void Flood(int fd);
    // The answer to a command line; empty for none.
    std::string Answer(const std::string& line);

    GatewayScript Script;
    loopback::Listener Listening;
    mutable std::mutex Lock; // guards everything below
    bool Stopping = false;
    std::vector<int> Clients;
    std::vector<std::thread> Servers;
    std::vector<std::string> Received;
    std::thread Acceptor;
};
