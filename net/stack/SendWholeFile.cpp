// Whole-file sending for the connection: the file goes out through the
// library's TransmitFile entry (sendfile(2) underneath).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "net/stack/IdStack.h"
#include "net/stack/WinsockBinding.h"

namespace {

// The file's size (its low 32 bits) when all of it was sent, else 0.
int32_t SendWholeFile(TIdStackSocketHandle socket, const std::string& fileName) {
    const int file = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return 0;
    ::posix_fadvise(file, 0, 0, POSIX_FADV_SEQUENTIAL);
    struct stat status {};
    int32_t result = 0;
    if (::fstat(file, &status) == 0 &&
        Winsock.TransmitFile(socket, file, 0, 0, nullptr, nullptr, 0) != 0)
        result = static_cast<int32_t>(static_cast<uint32_t>(status.st_size));
    ::close(file);
    return result;
}

} // namespace

TIdFileSendRoutine FileSendRoutine = &SendWholeFile;
