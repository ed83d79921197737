// Input files with the system's reason for a failure.
#include "bqctl/InputFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace {

// At most limit + 1 bytes, enough to tell a file that is too large.
bool ReadCapped(std::istream& in, size_t limit, std::string& text) {
    text.clear();
    char buffer[4096];
    while (text.size() <= limit && in.read(buffer, sizeof buffer).gcount() > 0)
        text.append(buffer, static_cast<size_t>(in.gcount()));
    return !in.bad();
}

bool CheckSize(const std::string& name, const std::string& text, size_t limit, std::string& error) {
    if (text.size() <= limit) return true;
    error = name + ": larger than " + std::to_string(limit) + " bytes";
    return false;
}

} // namespace

std::string FileFailure(const std::string& path) {
    const int code = errno;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return path + ": is a folder";
    return path + ": " + std::generic_category().message(code ? code : EIO);
}

bool ReadInputFile(const std::string& path, std::string& text, std::string& error, size_t limit) {
    if (path == "-") {
        if (ReadCapped(std::cin, limit, text))
            return CheckSize("standard input", text, limit, error);
        error = "standard input: cannot be read";
        return false;
    }
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + ": is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = FileFailure(path);
        return false;
    }
    if (!ReadCapped(file, limit, text)) {
        error = FileFailure(path);
        return false;
    }
    return CheckSize(path, text, limit, error);
}

bool CheckFolder(const std::string& path, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    error = path + ": " +
            (std::filesystem::exists(path, ec) ? std::string("not a folder")
                                               : std::generic_category().message(ENOENT));
    return false;
}
