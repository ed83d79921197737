// Whole-file sending for the connection: the file goes out through the
// stack's TransmitFile, in the kernel, without passing through the process.
#include "net/stack/IdStack.h"
#include "net/stack/winsock/KernelFiles.h"

namespace {

// The file's size (its low 32 bits) when all of it was sent, else 0.
int32_t SendWholeFile(TIdStackSocketHandle socket, const std::string& fileName) {
    THandle file = 0;
    if (!OpenFileForSending(fileName, file)) return 0;
    uint64_t size = 0;
    int32_t result = 0;
    if (FileSizeOf(file, size) && GlobalStack->SockTransmitFile(socket, file))
        result = static_cast<int32_t>(static_cast<uint32_t>(size));
    CloseFileForSending(file);
    return result;
}

} // namespace

TIdFileSendRoutine FileSendRoutine = &SendWholeFile;
