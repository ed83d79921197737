// The log as a control of our own that keeps its lines: appending a line
// costs the same whatever the log's length, and painting looks only at the
// lines in view. The system's edit and rich edit controls cost milliseconds
// per line under a chatty gateway (docs/benchmarks.md). The operator may
// type, select and copy in it as in an edit control; lines longer than the
// control is wide are cut at its edge.
#pragma once

#include <string>

#include "winview/LogControl.h"

class TLineLog : public TLogControl {
public:
    TLineLog(HWND parent, int id, RECT place, HFONT font, COLORREF text, COLORREF ground);
    ~TLineLog() override;

    void AppendLines(const std::vector<std::wstring_view>& lines) override;
    std::vector<std::wstring> Lines() const override;

private:
    struct TPlace {
        size_t Line = 0, Column = 0;
        auto operator<=>(const TPlace&) const = default;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void KeyDown(WPARAM key);
    void Character(wchar_t ch);
    void Insert(std::wstring_view text);
    void EraseSelection();
    std::wstring SelectedText() const;
    void MoveCaret(TPlace to, bool extend);
    TPlace PlaceAt(int x, int y) const;
    int ColumnX(size_t line, size_t column) const;
    void ScrollTo(size_t topLine);
    void ShowCaret();
    size_t VisibleLines() const;
    void Changed();

    std::vector<std::wstring> Text{std::wstring()}; // never empty: the last is the open line
    TPlace Caret, Anchor;                           // the selection runs between them
    size_t TopLine = 0;
    int LineHeight = 16;
    int ClientHeight = 0;
    HFONT Font;
    COLORREF TextColour, Ground;
    bool ScrollBarStale = true;
    bool PaintPending = false; // invalidated, not yet painted
    bool Focused = false;
    bool Selecting = false; // the mouse button is down
};
