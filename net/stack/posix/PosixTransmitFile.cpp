// TransmitFile over sendfile(2): the whole file from its current position, in
// the kernel, without copying it through the process.
#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

// sendfile has no MSG_NOSIGNAL: while it runs SIGPIPE is blocked for this
// thread, and a SIGPIPE that it raised is taken back before unblocking, so a
// peer that has gone gives EPIPE instead of ending the process.
class TSigPipeBlock {
public:
    TSigPipeBlock() {
        sigemptyset(&PipeSet);
        sigaddset(&PipeSet, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        WasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &PipeSet, &Previous);
    }
    ~TSigPipeBlock() {
        if (!WasPending) {
            const timespec none{0, 0};
            while (sigtimedwait(&PipeSet, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &Previous, nullptr);
    }
    TSigPipeBlock(const TSigPipeBlock&) = delete;
    TSigPipeBlock& operator=(const TSigPipeBlock&) = delete;

private:
    sigset_t PipeSet;
    sigset_t Previous;
    bool WasPending = false;
};

} // namespace

int32_t PosixTransmitFile(TSocket hSocket, THandle hFile, uint32_t nNumberOfBytesToWrite,
                          uint32_t /*nNumberOfBytesPerSend*/, void* lpOverlapped,
                          void* lpTransmitBuffers, uint32_t dwFlags) {
    if (lpOverlapped != nullptr || lpTransmitBuffers != nullptr || dwFlags != 0) {
        FailWithCode(Id_WSAEOPNOTSUPP);
        return 0;
    }
    const int file = static_cast<int>(hFile);
    struct stat status {};
    off_t offset = ::lseek(file, 0, SEEK_CUR);
    if (offset < 0 || ::fstat(file, &status) < 0) {
        FailWithErrno();
        return 0;
    }
    off_t left = status.st_size > offset ? status.st_size - offset : 0;
    if (nNumberOfBytesToWrite != 0 && nNumberOfBytesToWrite < left) left = nNumberOfBytesToWrite;

    TSigPipeBlock noSigPipe;
    while (left > 0) {
        const ssize_t sent = ::sendfile(hSocket, file, &offset, static_cast<size_t>(left));
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0) {
            FailWithErrno();
            return 0;
        }
        if (sent == 0) break; // the file became shorter while being sent
        left -= sent;
    }
    ::lseek(file, offset, SEEK_SET);
    return 1;
}
