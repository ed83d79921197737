// Sending from the test's peer without exceptions: a failed send (the client
// has gone) ends the peer's work instead of the test program.
#pragma once

#include <sys/socket.h>

#include <string>

inline bool SendFully(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += static_cast<size_t>(sent);
    }
    return true;
}
