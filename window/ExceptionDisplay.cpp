// Message text of the application's exception display.
#include "window/ExceptionDisplay.h"

#include "runtime/Exception.h"

std::string ExceptionDisplayMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        std::string message = e.Message;
        // Compared as a byte: Windows-1251 letters above 127 also earn the stop.
        if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
        return message;
    } catch (...) {
        return {};
    }
}
