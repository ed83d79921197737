// The file calls around TransmitFile on a POSIX system: the file handle is a
// descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "net/stack/winsock/KernelFiles.h"

bool OpenFileForSending(const std::string& fileName, THandle& file) {
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    file = descriptor;
    return true;
}

bool FileSizeOf(THandle file, uint64_t& size) {
    struct stat status {};
    if (::fstat(static_cast<int>(file), &status) != 0) return false;
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

void CloseFileForSending(THandle file) {
    ::close(static_cast<int>(file));
}
