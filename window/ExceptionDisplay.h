// The text of the application's exception display: what the operator reads
// when an exception escapes a handler.
#pragma once

#include <exception>
#include <string>

// The exception's message (Windows-1251) with a full stop added when its last
// character's code lies above that of "."; empty for anything outside the
// Exception family.
std::string ExceptionDisplayMessage(std::exception_ptr error);
