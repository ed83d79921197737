// The file calls around TransmitFile on Windows: a file HANDLE opened for
// shared reading with the sequential-scan hint.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "net/stack/winsock/KernelFiles.h"

bool OpenFileForSending(const std::string& fileName, THandle& file) {
    const HANDLE handle =
        ::CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    file = reinterpret_cast<THandle>(handle);
    return true;
}

bool FileSizeOf(THandle file, uint64_t& size) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(reinterpret_cast<HANDLE>(file), &value)) return false;
    size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

void CloseFileForSending(THandle file) {
    ::CloseHandle(reinterpret_cast<HANDLE>(file));
}
