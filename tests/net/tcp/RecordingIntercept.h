// An intercept that takes over sending: it sends through the attached socket
// handle, at most as many bytes per call as scripted, and records each call.
#pragma once

#include <deque>
#include <vector>

#include "net/stack/IdSocketHandle.h"
#include "net/tcp/IdConnectionIntercept.h"

class RecordingIntercept : public TIdConnectionIntercept {
public:
    // Each entry limits one call; calls beyond the script send everything.
    explicit RecordingIntercept(std::deque<int32_t> limits = {}) : Limits(std::move(limits)) {
        HandlesSend = true;
    }

    int32_t InterceptSend(const char* buffer, int32_t length) override {
        Offered.push_back(length);
        int32_t take = length;
        if (!Limits.empty()) {
            take = std::min(take, Limits.front());
            Limits.pop_front();
        }
        int32_t sent = 0;
        for (int pass = 0; sent < take && pass < 1000; ++pass) {
            const int result = Binding()->TransmitChunk(buffer + sent, take - sent, 0);
            if (result <= 0) return result;
            sent += result;
        }
        return sent;
    }

    void AfterSend(const char*, int32_t count) override { AfterSends.push_back(count); }

    std::vector<int32_t> Offered;    // the length of each send call
    std::vector<int32_t> AfterSends; // the count each AfterSend was told

private:
    std::deque<int32_t> Limits;
};
