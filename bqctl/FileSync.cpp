// The platform's calls that flush files and folders to the disk.
#include "bqctl/FileSync.h"

#ifdef _WIN32
#include <io.h>

bool SyncFileToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

void SyncFolderOf(const std::string&) {}
#else
#include <fcntl.h>
#include <unistd.h>

bool SyncFileToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd); // best effort: the file itself is already on the disk
    close(fd);
}
#endif
