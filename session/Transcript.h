// The session's log in the window's form: status texts, every command line
// before it is sent, every received chunk trimmed, and error messages, one
// entry each. Entries come from the session's thread and from its reader.
#pragma once

#include <functional>
#include <mutex>
#include <string>

class TTranscript {
public:
    // `sink` receives each entry, under the transcript's lock; none: discarded.
    explicit TTranscript(std::function<void(const std::string&)> sink = {})
        : Sink(std::move(sink)) {}

    void Add(const std::string& entry) {
        if (!Sink) return;
        const std::lock_guard lock(Lock);
        Sink(entry);
    }

private:
    std::function<void(const std::string&)> Sink;
    std::mutex Lock;
};
