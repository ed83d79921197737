// Lines appended as paragraphs at the end of a rich edit control.
#include "winview/bench/RichEditLog.h"

#include <richedit.h>

#include <string>

TRichEditLog::TRichEditLog(HWND parent, int id, RECT place, HFONT font, COLORREF text,
                           COLORREF ground) {
    static const HMODULE library = LoadLibraryW(L"msftedit.dll");
    (void)library;
    Window = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                 ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                             place.left, place.top, place.right - place.left,
                             place.bottom - place.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(Window, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(Window, EM_SETBKGNDCOLOR, 0, ground);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = text;
    SendMessageW(Window, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void TRichEditLog::AppendLines(const std::vector<std::wstring_view>& lines) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT end =
        SendMessageW(Window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text;
    if (end > 0) {
        wchar_t last[2]{};
        TEXTRANGEW range{{static_cast<LONG>(end - 1), static_cast<LONG>(end)}, last};
        SendMessageW(Window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        if (last[0] != L'\r' && last[0] != L'\n') text = L"\r";
    }
    for (const std::wstring_view line : lines) {
        text += line;
        text += L'\r';
    }
    CHARRANGE at{static_cast<LONG>(end), static_cast<LONG>(end)};
    SendMessageW(Window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    SendMessageW(Window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(Window, EM_SCROLLCARET, 0, 0);
}

std::vector<std::wstring> TRichEditLog::Lines() const {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto size =
        SendMessageW(Window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<size_t>(size) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    text.resize(
        static_cast<size_t>(SendMessageW(Window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                         reinterpret_cast<LPARAM>(text.data()))));
    std::vector<std::wstring> lines;
    for (const std::wstring_view line : SplitLogLines(text))
        lines.emplace_back(line);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}
