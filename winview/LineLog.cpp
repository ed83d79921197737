// The line-keeping log: its lines, painting, scrolling and the operator's
// typing, selecting and copying.
#include "winview/LineLog.h"

#include <windowsx.h>

#include <algorithm>

namespace {

constexpr wchar_t ClassName[] = L"bqTestLog";
constexpr int Margin = 2; // pixels left of the text

void RegisterLogClass() {
    static const bool registered = [] {
        WNDCLASSW log{};
        log.style = CS_DBLCLKS;
        log.lpfnWndProc = DefWindowProcW;
        log.hInstance = GetModuleHandleW(nullptr);
        log.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
        log.lpszClassName = ClassName;
        return RegisterClassW(&log) != 0;
    }();
    (void)registered;
}

} // namespace

TLineLog::TLineLog(HWND parent, int id, RECT place, HFONT font, COLORREF text, COLORREF ground)
    : Font(font), TextColour(text), Ground(ground) {
    RegisterLogClass();
    Window = CreateWindowExW(
        WS_EX_CLIENTEDGE, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL,
        place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RECT client;
    GetClientRect(Window, &client);
    ClientHeight = client.bottom;
}

TLineLog::~TLineLog() {
    if (IsWindow(Window))
        SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
}

// Only marks the control for painting: the message loop paints once per turn,
// however many lines arrived in between.
void TLineLog::AppendLines(const std::vector<std::wstring_view>& lines) {
    if (!Text.back().empty()) Text.emplace_back();
    for (const std::wstring_view line : lines) {
        Text.back().assign(line);
        Text.emplace_back();
    }
    Caret = Anchor = {Text.size() - 1, 0};
    const size_t visible = VisibleLines();
    TopLine = Text.size() > visible ? Text.size() - visible : 0;
    Changed();
}

std::vector<std::wstring> TLineLog::Lines() const {
    std::vector<std::wstring> lines = Text;
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

// Each of these is a call into the window system (under wine, to its
// server): made once until the next paint, not once per line.
void TLineLog::Changed() {
    ScrollBarStale = true;
    if (!PaintPending) InvalidateRect(Window, nullptr, FALSE);
    PaintPending = true;
    if (Focused) ShowCaret();
}

size_t TLineLog::VisibleLines() const {
    return static_cast<size_t>(std::max(1, ClientHeight / LineHeight));
}

int TLineLog::ColumnX(size_t line, size_t column) const {
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font);
    SIZE size{};
    GetTextExtentPoint32W(dc, Text[line].c_str(), static_cast<int>(column), &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return Margin + size.cx;
}

TLineLog::TPlace TLineLog::PlaceAt(int x, int y) const {
    const size_t line =
        std::min(Text.size() - 1, TopLine + static_cast<size_t>(std::max(0, y) / LineHeight));
    const std::wstring& text = Text[line];
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font);
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), std::max(0, x - Margin),
                          &fit, nullptr, &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return {line, static_cast<size_t>(fit)};
}

void TLineLog::ShowCaret() {
    if (Caret.Line < TopLine || Caret.Line >= TopLine + VisibleLines()) {
        SetCaretPos(-100, -100);
        return;
    }
    SetCaretPos(ColumnX(Caret.Line, Caret.Column),
                static_cast<int>(Caret.Line - TopLine) * LineHeight);
}

void TLineLog::ScrollTo(size_t topLine) {
    const size_t visible = VisibleLines();
    const size_t last = Text.size() > visible ? Text.size() - visible : 0;
    TopLine = std::min(topLine, last);
    Changed();
}

void TLineLog::MoveCaret(TPlace to, bool extend) {
    Caret = to;
    if (!extend) Anchor = to;
    if (Caret.Line < TopLine)
        ScrollTo(Caret.Line);
    else if (Caret.Line >= TopLine + VisibleLines())
        ScrollTo(Caret.Line - VisibleLines() + 1);
    else
        Changed();
}

void TLineLog::Paint() {
    if (ScrollBarStale) {
        SCROLLINFO bar{sizeof bar,
                       SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                       0,
                       static_cast<int>(Text.size() - 1),
                       static_cast<UINT>(VisibleLines()),
                       static_cast<int>(TopLine),
                       0};
        SetScrollInfo(Window, SB_VERT, &bar, TRUE);
        ScrollBarStale = false;
    }
    PaintPending = false;
    PAINTSTRUCT paint;
    HDC target = BeginPaint(Window, &paint);
    RECT client;
    GetClientRect(Window, &client);
    // Drawn off screen first, so that the log does not flicker as it scrolls.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, Font);
    SetBkColor(dc, Ground);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    const TPlace from = std::min(Caret, Anchor), to = std::max(Caret, Anchor);
    const size_t end = std::min(Text.size(), TopLine + VisibleLines() + 1);
    for (size_t line = TopLine; line < end; ++line) {
        const std::wstring& text = Text[line];
        const int y = static_cast<int>(line - TopLine) * LineHeight;
        SetTextColor(dc, TextColour);
        SetBkColor(dc, Ground);
        TextOutW(dc, Margin, y, text.c_str(), static_cast<int>(text.size()));
        if (from == to || line < from.Line || line > to.Line) continue;
        const size_t first = line == from.Line ? from.Column : 0;
        const size_t last = line == to.Line ? to.Column : text.size();
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SIZE before{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(first), &before);
        TextOutW(dc, Margin + before.cx, y, text.c_str() + first, static_cast<int>(last - first));
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(Window, &paint);
}

LRESULT CALLBACK TLineLog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<TLineLog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return log->Dispatch(message, wParam, lParam);
}

LRESULT TLineLog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT: {
        Font = reinterpret_cast<HFONT>(wParam);
        HDC dc = GetDC(Window);
        HGDIOBJ old = SelectObject(dc, Font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(Window, dc);
        LineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
        Changed();
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(Font);
    case WM_SIZE:
        ClientHeight = HIWORD(lParam);
        ScrollTo(TopLine);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETFOCUS:
        Focused = true;
        CreateCaret(Window, nullptr, 1, LineHeight);
        ShowCaret();
        ::ShowCaret(Window);
        return 0;
    case WM_KILLFOCUS:
        Focused = false;
        DestroyCaret();
        return 0;
    case WM_KEYDOWN:
        KeyDown(wParam);
        return 0;
    case WM_CHAR:
        Character(static_cast<wchar_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(Window);
        SetCapture(Window);
        Selecting = true;
        MoveCaret(PlaceAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEMOVE:
        if (Selecting) MoveCaret(PlaceAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), true);
        return 0;
    case WM_LBUTTONUP:
        Selecting = false;
        ReleaseCapture();
        return 0;
    case WM_MOUSEWHEEL: {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        const long long top = static_cast<long long>(TopLine) - 3LL * notches;
        ScrollTo(static_cast<size_t>(std::max(0LL, top)));
        return 0;
    }
    case WM_VSCROLL: {
        SCROLLINFO bar{sizeof bar, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(Window, SB_VERT, &bar);
        const size_t page = VisibleLines();
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            ScrollTo(TopLine > 0 ? TopLine - 1 : 0);
            break;
        case SB_LINEDOWN:
            ScrollTo(TopLine + 1);
            break;
        case SB_PAGEUP:
            ScrollTo(TopLine > page ? TopLine - page : 0);
            break;
        case SB_PAGEDOWN:
            ScrollTo(TopLine + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            ScrollTo(static_cast<size_t>(std::max(0, bar.nTrackPos)));
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(Text.size());
            break;
        default:
            break;
        }
        return 0;
    }
    default:
        return DefWindowProcW(Window, message, wParam, lParam);
    }
}
