// The synchronised call into the GUI thread. A worker thread queues a method,
// wakes the GUI thread and waits; the GUI thread drains the queue with
// CheckSynchronize. Nothing here depends on the GUI toolkit: the application
// installs a wake-up hook and calls CheckSynchronize when woken.
#pragma once

#include <functional>

// Records the calling thread as the GUI (main) thread. Called once at start-up.
void SetMainThread();
bool IsMainThread();

// Runs `method` on the GUI thread while the calling thread waits. Called on the
// GUI thread itself, runs it directly. An exception raised by the method is
// raised again, as the same exception object, on the calling thread. The
// caller continues once its own call has run.
void Synchronize(const std::function<void()>& method);

// GUI thread: runs every pending call, in order; true when any ran. Methods run
// without the queue lock held, so a method may itself wait for a thread's end.
// Raises Exception when called on any other thread.
bool CheckSynchronize();

// GUI thread: blocks until `finished` answers true, running queued calls as
// they come. `finished` is asked under the queue lock, so it must only read
// atomics; whoever makes it true calls WakeSynchronizeWaiters afterwards.
void ServeSynchronizeUntil(const std::function<bool()>& finished);
void WakeSynchronizeWaiters();

// Called, on the queuing thread, each time a call is queued; the application
// uses it to wake the GUI thread (which then calls CheckSynchronize).
void SetWakeMainThread(std::function<void()> wake);
