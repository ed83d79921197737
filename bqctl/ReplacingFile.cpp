// Writing to a temporary file beside the target and renaming it over it.
#include "bqctl/ReplacingFile.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "bqctl/FileSync.h"

namespace {

// Beside the file, so that the rename stays in one file system; a random part
// keeps two runs writing the same file apart.
std::string TemporaryNameFor(const std::string& path) {
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    return path + suffix;
}

} // namespace

TReplacingFile::~TReplacingFile() {
    Discard();
}

bool TReplacingFile::Open(std::string& error) {
    Discard();
    std::error_code ignored;
    if (std::filesystem::is_directory(Path, ignored)) return Fail("is a folder", error);
    TemporaryPath = TemporaryNameFor(Path);
    errno = 0;
    File = std::fopen(TemporaryPath.c_str(), "wb");
    if (File == nullptr) {
        TemporaryPath.clear();
        return Fail(errno, error);
    }
    return true;
}

bool TReplacingFile::Commit(const std::string& text, std::string& error) {
    if (File == nullptr) return Fail(EBADF, error);
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), File) == text.size() &&
                         std::fflush(File) == 0 && SyncFileToDisk(File);
    int cause = errno;
    const bool closed = std::fclose(File) == 0;
    if (cause == 0) cause = errno;
    File = nullptr;
    if (!written || !closed) return Fail(cause, error);
    std::error_code renamed;
    std::filesystem::rename(TemporaryPath, Path, renamed);
    if (renamed) return Fail(renamed.message(), error);
    TemporaryPath.clear();
    SyncFolderOf(Path);
    return true;
}

void TReplacingFile::Discard() {
    if (File != nullptr) std::fclose(File);
    File = nullptr;
    if (TemporaryPath.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(TemporaryPath, ignored);
    TemporaryPath.clear();
}

bool TReplacingFile::Fail(int cause, std::string& error) {
    return Fail(cause != 0 ? std::generic_category().message(cause) : std::string(), error);
}

bool TReplacingFile::Fail(const std::string& reason, std::string& error) {
    error = Path + ": " + (reason.empty() ? std::string("cannot be written") : reason);
    Discard();
    return false;
}
