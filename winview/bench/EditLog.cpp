// Lines appended at the end of an EDIT control's one text, CR LF between them.
#include "winview/bench/EditLog.h"

#include <string>

TEditLog::TEditLog(HWND parent, int id, RECT place, HFONT font) {
    Window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                 ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                             place.left, place.top, place.right - place.left,
                             place.bottom - place.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The default limit is 30,000 characters; the log only grows.
    SendMessageW(Window, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
}

void TEditLog::AppendLines(const std::vector<std::wstring_view>& lines) {
    std::wstring text;
    const LRESULT last = SendMessageW(Window, EM_GETLINECOUNT, 0, 0) - 1;
    const LRESULT lastStart = SendMessageW(Window, EM_LINEINDEX, last, 0);
    if (SendMessageW(Window, EM_LINELENGTH, lastStart, 0) > 0) text = L"\r\n";
    for (const std::wstring_view line : lines) {
        text += line;
        text += L"\r\n";
    }
    const LRESULT end = GetWindowTextLengthW(Window);
    SendMessageW(Window, EM_SETSEL, end, end);
    SendMessageW(Window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(Window, EM_SCROLLCARET, 0, 0);
}

std::vector<std::wstring> TEditLog::Lines() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    for (const std::wstring_view line : SplitLogLines(text))
        lines.emplace_back(line);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}
