// Flushing a written file to the disk, on each platform its own way.
#pragma once

#include <cstdio>
#include <string>

// The file's data and size on the disk; false with errno set when the system refuses.
bool SyncFileToDisk(std::FILE* file);
// Makes a rename in the folder holding `path` durable where the system needs
// that asked separately (POSIX); a no-op elsewhere.
void SyncFolderOf(const std::string& path);
