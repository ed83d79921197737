// The application's exception display: what the operator reads when an
// exception escapes a handler, and the guard that keeps it out of Qt.
#pragma once

#include <exception>
#include <string>

#include "app/UserMessages.h"

// The exception's message with a full stop added when its last character's
// code lies above that of "."; empty for anything outside the Exception family.
std::string ExceptionDisplayMessage(std::exception_ptr error);

void ShowException(TUserMessages& messages, std::exception_ptr error);

// Qt must never see an exception leave an event handler or a slot.
template <class Handler> void RunGuarded(TUserMessages& messages, Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowException(messages, std::current_exception());
    }
}
