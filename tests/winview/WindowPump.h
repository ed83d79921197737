// The test's thread as the window's GUI thread: runs what is posted to its
// windows until a condition holds, for at most the tests' patience.
#pragma once

#include <windows.h>

#include <functional>

#include "tests/support/Deadline.h"

inline bool PumpUntil(const std::function<bool()>& done) {
    const Deadline deadline;
    for (int turn = 0; turn < 1'000'000; ++turn) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (deadline.Passed()) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline.Left().count()),
                                  QS_ALLINPUT);
    }
    return false;
}

// Runs what is posted now.
inline void Pump() {
    PumpUntil([] { return true; });
}
