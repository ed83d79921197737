// The runtime's base exception: every error the program raises carries a
// ready-to-show message and derives from this class.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}

    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// A text that is not an integer (see StrToInt).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
