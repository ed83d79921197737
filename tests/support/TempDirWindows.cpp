// Making, filling and removing a test's directory under the Windows temporary
// folder. Windows has no permission bits: Write leaves the mode aside.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "TempDir.h"

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 1000 && Root.empty(); ++attempt) {
        const std::filesystem::path candidate =
            base /
            ("bqtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) Root = candidate.generic_string();
    }
    if (Root.empty()) throw std::runtime_error("no temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
}

void TempDir::Write(const std::string& name, const std::string& text, mode_t) const {
    std::ofstream(Path(name), std::ios::binary) << text;
}
