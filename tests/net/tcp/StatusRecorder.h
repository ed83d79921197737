// Records what a connection reports (status texts, disconnects, connects)
// from whichever thread reports it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "net/tcp/IdTCPClient.h"

class StatusRecorder {
public:
    explicit StatusRecorder(TIdTCPClient& client) {
        client.OnStatus = [this](TObject*, TIdStatus, const std::string& text) { Add(text); };
        client.OnDisconnected = [this](TObject*) { Add("<disconnected>"); };
        client.OnConnected = [this](TObject*) { Add("<connected>"); };
    }

    std::vector<std::string> Events() const {
        std::lock_guard lock(Guard);
        return Recorded;
    }
    void Clear() {
        std::lock_guard lock(Guard);
        Recorded.clear();
    }

private:
    void Add(const std::string& event) {
        std::lock_guard lock(Guard);
        Recorded.push_back(event);
    }

    mutable std::mutex Guard;
    std::vector<std::string> Recorded;
};
