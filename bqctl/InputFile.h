// Reading a whole input file ("-": standard input), and the system's reason
// when a file cannot be read or written ("backup.json: No such file or
// directory", "saved: is a folder").
#pragma once

#include <string>

// False with "PATH: reason" in `error`.
bool ReadInputFile(const std::string& path, std::string& text, std::string& error);
// "PATH: reason" for the file operation that failed just now (from errno).
std::string FileFailure(const std::string& path);
// False with "PATH: not a folder" or "PATH: reason" unless PATH is a folder.
bool CheckFolder(const std::string& path, std::string& error);
