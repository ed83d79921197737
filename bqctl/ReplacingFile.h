// A file replaced as a whole: the new text goes to a temporary file beside
// it, is flushed to the disk and renamed over the old one, so that a failed
// or interrupted write leaves the old file as it was and no partial one.
#pragma once

#include <cstdio>
#include <string>

class TReplacingFile {
public:
    explicit TReplacingFile(std::string path) : Path(std::move(path)) {}
    // Removes a temporary file that was not committed.
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    // Creates the temporary file, proving that the folder takes files. False
    // with "PATH: reason".
    bool Open(std::string& error);
    // Writes `text` to the temporary file, syncs it and renames it over the
    // file. False with "PATH: reason"; the temporary is gone then.
    bool Commit(const std::string& text, std::string& error);

private:
    void Discard();
    bool Fail(int cause, std::string& error);
    bool Fail(const std::string& reason, std::string& error);

    std::string Path;
    std::string TemporaryPath;
    std::FILE* File = nullptr;
};
