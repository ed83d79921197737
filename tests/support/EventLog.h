// Texts that tests record from whichever thread reports them, read back in
// the order they came.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class EventLog {
public:
    void Add(const std::string& event) {
        const std::lock_guard lock(Guard);
        Recorded.push_back(event);
    }
    std::vector<std::string> Events() const {
        const std::lock_guard lock(Guard);
        return Recorded;
    }
    void Clear() {
        const std::lock_guard lock(Guard);
        Recorded.clear();
    }

private:
    mutable std::mutex Guard;
    std::vector<std::string> Recorded;
};
