// A fresh directory under /tmp for a test's files, removed with everything in
// it when the test is done.
#pragma once

#include <sys/types.h>

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return Root + "/" + name; }
    // Writes `text` to `name`, with the given permission bits.
    void Write(const std::string& name, const std::string& text, mode_t mode = 0644) const;

private:
    std::string Root;
};
