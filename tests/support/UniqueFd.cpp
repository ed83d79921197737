// Handing over what a UniqueFd owns.
#include "UniqueFd.h"

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Close();
        Value = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = Value;
    Value = -1;
    return fd;
}
