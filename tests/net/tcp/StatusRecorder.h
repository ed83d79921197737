// Records what a connection reports (status texts, disconnects, connects)
// from whichever thread reports it.
#pragma once

#include <string>
#include <vector>

#include "net/tcp/IdTCPClient.h"
#include "tests/support/EventLog.h"

class StatusRecorder {
public:
    explicit StatusRecorder(TIdTCPClient& client) {
        client.OnStatus = [this](TObject*, TIdStatus, const std::string& text) { Log.Add(text); };
        client.OnDisconnected = [this](TObject*) { Log.Add("<disconnected>"); };
        client.OnConnected = [this](TObject*) { Log.Add("<connected>"); };
    }

    std::vector<std::string> Events() const { return Log.Events(); }
    void Clear() { Log.Clear(); }

private:
    EventLog Log;
};
