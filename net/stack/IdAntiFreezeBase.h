// The hook that could keep the window responsive during blocking network
// calls. No concrete anti-freeze exists in this program, so it stays inert.
#pragma once

#include <atomic>
#include <cstdint>

#include "net/stack/IdComponent.h"

class TIdAntiFreezeBase : public TIdBaseComponent {
public:
    // Becomes ActiveAntiFreeze; a second live instance raises
    // EIdMoreThanOneTIdAntiFreeze.
    explicit TIdAntiFreezeBase(TComponent* owner = nullptr);
    ~TIdAntiFreezeBase() override;

    // Lets the application handle its pending work.
    virtual void Process() = 0;

    // The turn that the send path and the socket wait give the anti-freeze:
    // runs Process of the active instance, on the main thread only, when it is
    // Active and the call is idle (or OnlyWhenIdle is off, or `force`).
    static void DoProcess(bool idle = false, bool force = false);

    bool Active = true;
    bool ApplicationHasPriority = true;
    int32_t IdleTimeOut = 250; // milliseconds of one wait slice
    bool OnlyWhenIdle = true;
};

// The live anti-freeze, if any; read by every thread that waits on a socket.
extern std::atomic<TIdAntiFreezeBase*> ActiveAntiFreeze;
