// The lookup's thread and the wait for its answer.
#include "net/tcp/ResolveWithin.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "net/stack/IdException.h"

namespace {

// Shared by the waiting caller and the lookup's thread, whichever ends last.
struct TLookup {
    std::mutex Lock;
    std::condition_variable Done;
    std::optional<std::string> Answer; // guarded by Lock
    std::exception_ptr Raised;         // guarded by Lock
};

} // namespace

std::string ResolveWithin(std::function<std::string()> lookup,
                          std::chrono::steady_clock::time_point deadline) {
    const auto shared = std::make_shared<TLookup>();
    std::thread([shared, lookup = std::move(lookup)] {
        std::optional<std::string> answer;
        std::exception_ptr raised;
        try {
            answer = lookup();
        } catch (...) {
            raised = std::current_exception();
        }
        const std::lock_guard guard(shared->Lock);
        shared->Answer = std::move(answer);
        shared->Raised = raised;
        shared->Done.notify_all();
    }).detach();
    std::unique_lock guard(shared->Lock);
    if (!shared->Done.wait_until(guard, deadline, [&] { return shared->Answer || shared->Raised; }))
        throw EIdResolveTimedOut();
    if (shared->Raised) std::rethrow_exception(shared->Raised);
    return *shared->Answer;
}
