// Ends the test program when a step that could deadlock has not returned in
// time, so that a deadlock fails the test instead of hanging it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Deadline.h"

class Watchdog {
public:
    explicit Watchdog(const char* what, std::chrono::milliseconds patience = Patience);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex Lock;
    std::condition_variable Done;
    bool Finished = false;
    std::thread Guard;
};
