// The step loop of the network layer's threads.
#include "net/telnet/IdThread.h"

TIdThread::TIdThread(bool CreateSuspended)
    : TThread(CreateSuspended), StopRequested(CreateSuspended) {}

bool TIdThread::IsStopped() const {
    return Terminated() || StopRequested.load();
}

void TIdThread::StopAndWait() {
    Terminate();
    StopRequested = true;
    WaitFor();
}

// Each pass: sleep while stopped (leaving if woken to terminate), then
// BeforeLoop, steps until stopped, AfterLoop - the latter also when BeforeLoop
// or a step raises. A runtime exception ends the thread quietly; anything
// else is left to TThread.
void TIdThread::Execute() {
    try {
        while (!Terminated()) {
            if (IsStopped()) {
                SetSuspended(true);
                if (Terminated()) {
                    AfterLoop();
                    break;
                }
            }
            try {
                BeforeLoop();
                while (!IsStopped())
                    RunStep();
            } catch (...) {
                AfterLoop();
                throw;
            }
            AfterLoop();
        }
    } catch (const Exception& e) {
        TerminatingMessage = e.Message;
        if (OnThreadException) OnThreadException(this, e);
        Terminate();
    }
}
