// A client connected to a loopback listener of the test, with the accepted
// far end in the test's hands and every report recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "StatusRecorder.h"
#include "net/tcp/IdTCPClient.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

struct ConnectedClient {
    ConnectedClient() {
        client.Host = "127.0.0.1";
        client.Port = listener.Port();
        client.Connect();
        peer = listener.Accept();
        status.Clear();
    }

    // Sends from the far end, then closes it when asked.
    void PeerSends(const std::string& bytes, bool thenClose = false) {
        ASSERT_TRUE(loopback::SendAll(peer.Get(), bytes));
        if (thenClose) peer.Close();
    }

    loopback::Listener listener;
    TIdTCPClient client;
    StatusRecorder status{client};
    UniqueFd peer;
};

// The reports of one close, in order.
inline std::vector<std::string> OneCloseReports() {
    return {"Disconnecting from 127.0.0.1.", "Not connected.", "<disconnected>"};
}
