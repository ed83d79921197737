// The network layer's thread base: runs an abstract step until told to stop,
// and turns an exception that escapes a step into an orderly end.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "runtime/Exception.h"
#include "runtime/Thread.h"

class TIdThread;

using TIdExceptionThreadEvent = std::function<void(TIdThread* Thread, const Exception& E)>;

// Like every TThread, built with TThread::Create<T>() (or make_shared then Start()).
class TIdThread : public TThread {
public:
    // CreateSuspended also sets StopRequested: such a thread keeps suspending
    // itself until StopRequested is cleared and it is resumed.
    explicit TIdThread(bool CreateSuspended);

    // True when termination or a stop has been requested.
    bool IsStopped() const;
    // Requests termination and a stop, then waits for the end. Not to be
    // called from the thread's own steps.
    virtual void StopAndWait();

    std::unique_ptr<TObject> OwnedData; // freed with the thread object
    std::atomic<bool> StopRequested;
    // Message of the runtime exception that ended the loop; read it after WaitFor.
    std::string TerminatingMessage;
    // Called on this thread with the exception that ends the loop.
    TIdExceptionThreadEvent OnThreadException;

protected:
    // The loop; see the .cpp for its order.
    void Execute() final;

    virtual void RunStep() = 0;
    virtual void AfterLoop() {}
    virtual void BeforeLoop() {}

    using TThread::Synchronize;
};
