// The application's exception display around Qt's own calls: the guard that
// keeps an exception out of Qt and shows it in the operator's box.
#pragma once

#include <exception>

#include "app/UserMessages.h"
#include "window/ExceptionDisplay.h"

void ShowException(TUserMessages& messages, std::exception_ptr error);

// Qt must never see an exception leave an event handler or a slot.
template <class Handler> void RunGuarded(TUserMessages& messages, Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowException(messages, std::current_exception());
    }
}
