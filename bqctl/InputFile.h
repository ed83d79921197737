// Reading a whole input file ("-": standard input), and the system's reason
// when a file cannot be read or written ("backup.json: No such file or
// directory", "saved: is a folder").
#pragma once

#include <cstddef>
#include <limits>
#include <string>

// A backup holds five values and a few words about where they came from;
// anything larger (an endless pipe, /dev/zero) is not one.
inline constexpr size_t MaxBackupBytes = 16 * 1024;

// False with "PATH: reason" in `error`, or "PATH: larger than N bytes" when
// it holds more than `limit` bytes (which are never read into memory).
bool ReadInputFile(const std::string& path, std::string& text, std::string& error,
                   size_t limit = std::numeric_limits<size_t>::max() - 1);
// "PATH: reason" for the file operation that failed just now (from errno).
std::string FileFailure(const std::string& path);
// False with "PATH: not a folder" or "PATH: reason" unless PATH is a folder.
bool CheckFolder(const std::string& path, std::string& error);
