// A descriptor owned by one object and closed with it.
#pragma once

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : Value(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : Value(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    ~UniqueFd() { Close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return Value; }
    bool Valid() const { return Value >= 0; }
    // Gives the descriptor up without closing it.
    int Release();
    void Close();

private:
    int Value = -1;
};
