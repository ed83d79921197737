// The exception display's text in the operator's box.
#include "app/ExceptionDisplay.h"

#include "app/Cp1251.h"

void ShowException(TUserMessages& messages, std::exception_ptr error) {
    messages.ShowException(FromCp1251(ExceptionDisplayMessage(error)));
}
