// Making, filling and removing a test's directory.
#include "TempDir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

TempDir::TempDir() {
    char pattern[] = "/tmp/bqtest-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    Root = pattern;
    // Programs a test starts may drop privileges and still need to read here.
    ::chmod(Root.c_str(), 0755);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
}

void TempDir::Write(const std::string& name, const std::string& text, mode_t mode) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    ::chmod(Path(name).c_str(), mode);
}
