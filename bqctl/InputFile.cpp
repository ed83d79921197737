// Input files with the system's reason for a failure.
#include "bqctl/InputFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

std::string FileFailure(const std::string& path) {
    const int code = errno;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return path + ": is a folder";
    return path + ": " + std::generic_category().message(code ? code : EIO);
}

bool ReadInputFile(const std::string& path, std::string& text, std::string& error) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
        if (!std::cin.bad()) return true;
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
    std::ostringstream all;
    all << file.rdbuf();
    if (file.bad()) {
        error = FileFailure(path);
        return false;
    }
    text = all.str();
    return true;
}

bool CheckFolder(const std::string& path, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    error = path + ": " +
            (std::filesystem::exists(path, ec) ? std::string("not a folder")
                                               : std::generic_category().message(ENOENT));
    return false;
}
