// The log's control as the window uses it: a child window that shows the
// lines it is given, each as a new last line, with the caret waiting on a
// fresh line below them; the operator may type into it.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

class TLogControl {
public:
    virtual ~TLogControl() = default;

    HWND Handle() const { return Window; }
    // Each of `lines` (no line breaks inside) as a new last line. Text that
    // the operator typed last, without a line break, keeps its own line.
    virtual void AppendLines(const std::vector<std::wstring_view>& lines) = 0;
    // Every line, as shown; the open line after the last line break is left out when empty.
    virtual std::vector<std::wstring> Lines() const = 0;

protected:
    HWND Window = nullptr;
};

// `text` cut at CR LF, CR and LF alike.
std::vector<std::wstring_view> SplitLogLines(std::wstring_view text);
