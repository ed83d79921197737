// A host name lookup bounded by a deadline. The system's lookup cannot be
// woken, so it runs on a thread of its own; a lookup that is not done by the
// deadline is left to finish there, and its answer is dropped.
#pragma once

#include <chrono>
#include <functional>
#include <string>

// What `lookup` returns or raises, or EIdResolveTimedOut once `deadline`
// passes first. `lookup` must own everything it uses: it may outlive the call.
std::string ResolveWithin(std::function<std::string()> lookup,
                          std::chrono::steady_clock::time_point deadline);
