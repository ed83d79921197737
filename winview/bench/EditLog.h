// The log as the system's plain multi-line edit control, for the benchmark.
#pragma once

#include "winview/LogControl.h"

class TEditLog : public TLogControl {
public:
    TEditLog(HWND parent, int id, RECT place, HFONT font);

    void AppendLines(const std::vector<std::wstring_view>& lines) override;
    std::vector<std::wstring> Lines() const override;
};
