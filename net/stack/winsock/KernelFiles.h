// The kernel's file calls that whole-file sending needs around TransmitFile,
// filled by each platform beside its sockets library.
#pragma once

#include <cstdint>
#include <string>

#include "net/stack/winsock/WinsockTypes.h"

// Opens an existing file for reading (others may read it too) with the hint
// that it is read from start to end; false when it cannot be opened.
bool OpenFileForSending(const std::string& fileName, THandle& file);
// The file's size in bytes; false when it cannot be read.
bool FileSizeOf(THandle file, uint64_t& size);
void CloseFileForSending(THandle file);
