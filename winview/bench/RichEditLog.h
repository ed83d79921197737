// The log as a rich edit control (msftedit.dll), green on black, for the benchmark.
#pragma once

#include "winview/LogControl.h"

class TRichEditLog : public TLogControl {
public:
    TRichEditLog(HWND parent, int id, RECT place, HFONT font, COLORREF text, COLORREF ground);

    void AppendLines(const std::vector<std::wstring_view>& lines) override;
    std::vector<std::wstring> Lines() const override;
};
