// Include from the one file of a test program that holds its main(), in
// programs that drive Qt widgets.
#pragma once

#if defined(__SANITIZE_THREAD__)
// Qt converts the window's images on pooled threads of its own and hands the
// work over through its futex-based locks, which ThreadSanitizer cannot see;
// it then takes Qt's allocations in one thread and frees in another for races.
// The same holds for a call queued from another thread with
// QMetaObject::invokeMethod: the call object is made on that thread, handed
// over under Qt's event-queue lock and freed with its event on the GUI thread.
// The window's own code is instrumented and still checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "race:QMetaCallEvent::~QMetaCallEvent\n";
}
#endif
