// Prints what the operator sees of a running bqTest window, one control a
// line: its name, "enabled" or "disabled", and its text. The drive in
// scripts/windows-drive reads the window through it. Exit status 1 when no
// bqTest window is open.
#include <windows.h>

#include <cstdio>

#include "winview/WideText.h"
#include "winview/Win32Form.h"

int wmain() {
    HWND form = FindWindowW(FormClassName, nullptr);
    if (!form) return 1;
    HWND panel = GetDlgItem(form, FirstControlId + static_cast<int>(TControl::Panel1));
    for (const TControlDesign& design : WindowLayout()) {
        if (design.Kind == TControlKind::Form || design.Kind == TControlKind::Log) continue;
        HWND parent = design.Parent == TControl::Panel1 ? panel : form;
        HWND control = GetDlgItem(parent, FirstControlId + static_cast<int>(design.Control));
        wchar_t text[256]{};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, &length);
        std::printf("%s %s %s\n", design.Name, IsWindowEnabled(control) ? "enabled" : "disabled",
                    WideToUtf8(text).c_str());
    }
    return 0;
}
