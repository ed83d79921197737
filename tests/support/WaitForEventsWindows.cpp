// A wait on one socket that ends at a deadline, with WSAPoll. On Windows the
// descriptors of the test kit are socket handles; Windows uses only the low
// 32 bits of a handle, so an int holds one.
#include <winsock2.h>

#include "Deadline.h"

bool WaitForEvents(int fd, short events, const Deadline& deadline) {
    // WSAPoll refuses flags it does not know, so ask for plain reading and
    // writing only; errors and hang-ups are reported without being asked for.
    short asked = 0;
    if (events & POLLRDNORM) asked |= POLLRDNORM;
    if (events & POLLWRNORM) asked |= POLLWRNORM;
    WSAPOLLFD entry{static_cast<SOCKET>(fd), asked, 0};
    return ::WSAPoll(&entry, 1, deadline.PollTimeout()) > 0;
}
