// The window's controls built from the design table, its colours and fonts,
// focus, keys and buttons reported to the model, and the boxes it shows.
#include "winview/Win32Form.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "runtime/Cp1251.h"
#include "runtime/Synchronize.h"
#include "window/ExceptionDisplay.h"
#include "winview/LineLog.h"
#include "winview/WideText.h"

namespace {

constexpr wchar_t PanelClass[] = L"bqTestPanel";
constexpr wchar_t Title[] = L"bqTest";
constexpr COLORREF Green = RGB(0, 128, 0); // clGreen
constexpr COLORREF Black = RGB(0, 0, 0);

constexpr UINT SynchronizeMessage = WM_APP + 1; // the reader queued a call
constexpr UINT StatusMessage = WM_APP + 2;      // lParam: a std::string to report
constexpr UINT FieldMessage = WM_APP + 3;       // wParam: entered (1) or left (0); lParam: field

// The control whose id a child window has; Form1 for any other id (the dialog
// keys' IDOK and IDCANCEL among them).
TControl ControlOfId(int id) {
    const int index = id - FirstControlId;
    const bool known = index > 0 && index < static_cast<int>(WindowLayout().size());
    return known ? static_cast<TControl>(index) : TControl::Form1;
}

bool IsParameterField(TControl control) {
    return control == TControl::Edit4 || control == TControl::Edit5 || control == TControl::Edit6;
}

// The design's font: its TrueType successor where the system has it, which
// stays sharp at any resolution, else the bitmap font of the design.
std::wstring DesignFace() {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(wanted.lfFaceName, L"Microsoft Sans Serif");
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found ? L"Microsoft Sans Serif" : L"MS Sans Serif";
}

HFONT DesignFont(int height, bool bold) {
    static const std::wstring face = DesignFace();
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face.c_str());
}

// The panel only frames its fields: what they report goes to the window.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return SendMessageW(GetParent(panel), message, wParam, lParam);
    default:
        return DefWindowProcW(panel, message, wParam, lParam);
    }
}

void RegisterClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW form{};
        form.lpfnWndProc = DefWindowProcW; // replaced by FormProc once the object is known
        form.hInstance = GetModuleHandleW(nullptr);
        form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        form.hIcon = LoadIconW(form.hInstance, MAKEINTRESOURCEW(1));
        form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        form.lpszClassName = FormClassName;
        RegisterClassW(&form);
        WNDCLASSW panel = form;
        panel.lpfnWndProc = PanelProc;
        panel.hIcon = nullptr;
        panel.lpszClassName = PanelClass;
        RegisterClassW(&panel);
        return true;
    }();
    (void)registered;
}

} // namespace

TWin32Form::TWin32Form() {
    RegisterClasses();
    HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    WindowFont = DesignFont(Scaled(DesignFontHeight), false);
    BoldFont = DesignFont(Scaled(DesignFontHeight), true);

    const TControlDesign& form = DesignOf(TControl::Form1);
    Window = CreateWindowExW(WS_EX_CONTROLPARENT, FormClassName, Utf8ToWide(form.Text).c_str(),
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, DesignLeft, DesignTop,
                             Scaled(form.Width), Scaled(form.Height), nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormProc));
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont), FALSE);
    Controls[static_cast<size_t>(TControl::Form1)] = Window;
    CreateChildren(TControl::Form1, Window);
}

TWin32Form::~TWin32Form() {
    // Destroyed with the view, not by the operator: nothing is reported.
    Events = {};
    if (IsWindow(Window)) DestroyWindow(Window);
    DeleteObject(WindowFont);
    DeleteObject(BoldFont);
}

int TWin32Form::Scaled(int designPixels) const {
    return MulDiv(designPixels, Dpi, DesignPixelsPerInch);
}

// Children in their tab order (a dialog's keys follow the order of creation);
// controls that take no focus after them. The panel's fields go into the panel.
void TWin32Form::CreateChildren(TControl parent, HWND parentWindow) {
    std::vector<const TControlDesign*> children;
    for (const TControlDesign& design : WindowLayout())
        if (design.Parent == parent && design.Control != TControl::Form1)
            children.push_back(&design);
    std::stable_sort(children.begin(), children.end(), [](auto* a, auto* b) {
        return (a->TabOrder < 0 ? INT_MAX : a->TabOrder) <
               (b->TabOrder < 0 ? INT_MAX : b->TabOrder);
    });
    for (const TControlDesign* design : children) {
        const RECT place{Scaled(design->Left), Scaled(design->Top),
                         Scaled(design->Left + design->Width),
                         Scaled(design->Top + design->Height)};
        const int id = FirstControlId + static_cast<int>(design->Control);
        const std::wstring text = design->Text ? Utf8ToWide(design->Text) : std::wstring();
        HFONT font = design->Font == TControlFont::Window ? WindowFont : BoldFont;
        HWND control = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD extended = 0;
        const wchar_t* className = L"STATIC";
        switch (design->Kind) {
        case TControlKind::Button:
            className = L"BUTTON";
            style |= WS_TABSTOP | BS_OWNERDRAW;
            break;
        case TControlKind::Edit:
            className = L"EDIT";
            extended = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | ES_AUTOHSCROLL | (design->ReadOnly ? ES_READONLY : 0) |
                     (design->UpperCase ? ES_UPPERCASE : 0);
            break;
        case TControlKind::Label:
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            break;
        case TControlKind::Panel:
            className = PanelClass;
            extended = WS_EX_CONTROLPARENT;
            style |= WS_BORDER;
            break;
        case TControlKind::Log:
            LogControl = std::make_unique<TLineLog>(parentWindow, id, place, font, Green, Black);
            control = LogControl->Handle();
            break;
        case TControlKind::Form:
            break;
        }
        if (!control)
            control =
                CreateWindowExW(extended, className, text.c_str(), style, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parentWindow,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
        Controls[static_cast<size_t>(design->Control)] = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (design->MaxLength > 0) SendMessageW(control, EM_LIMITTEXT, design->MaxLength, 0);
        if (!design->Enabled) EnableWindow(control, FALSE);
        if (IsParameterField(design->Control) || design->Kind == TControlKind::Log)
            SetWindowSubclass(control, &ControlProc, static_cast<UINT_PTR>(design->Control),
                              reinterpret_cast<DWORD_PTR>(this));
        if (design->Kind == TControlKind::Panel) CreateChildren(design->Control, control);
    }
}

std::string TWin32Form::Text(TControl control) const {
    HWND window = ControlHandle(control);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

// WM_SETTEXT is not cut by the control's typing limit.
void TWin32Form::SetText(TControl control, const std::string& text) {
    SetWindowTextW(ControlHandle(control), Utf8ToWide(text).c_str());
}

// A control that goes disabled while it has the focus hands it on to the next
// one, so that the keys still reach the window (Connect disables itself).
void TWin32Form::SetEnabled(TControl control, bool enabled) {
    HWND window = ControlHandle(control);
    if (!enabled && GetFocus() == window) SetFocus(GetNextDlgTabItem(Window, window, FALSE));
    EnableWindow(window, enabled);
}

void TWin32Form::AppendLog(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    LogControl->AppendLines(SplitLogLines(wide));
}

void TWin32Form::ShowMessage(const std::string& text) {
    MessageBoxW(Window, Utf8ToWide(text).c_str(), Title, MB_OK);
}

void TWin32Form::ShowException(const std::string& message) {
    MessageBoxW(Window, Utf8ToWide(message).c_str(), Title, MB_OK | MB_ICONERROR);
}

void TWin32Form::Guarded(const std::function<void()>& handler) {
    try {
        if (handler) handler();
    } catch (...) {
        ShowException(Cp1251ToUtf8(ExceptionDisplayMessage(std::current_exception())));
    }
}

void TWin32Form::HandOverStatus(const std::string& text) {
    if (!IsMainThread()) {
        auto posted = std::make_unique<std::string>(text);
        if (PostMessageW(Window, StatusMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
            posted.release();
        return;
    }
    // Texts another thread raised earlier may still wait in the queue: they go first.
    RunPostedStatus();
    if (Events.Status) Events.Status(text);
}

void TWin32Form::RunPostedStatus() {
    MSG message;
    while (PeekMessageW(&message, Window, StatusMessage, StatusMessage, PM_REMOVE)) {
        const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(message.lParam));
        if (Events.Status) Events.Status(*text);
    }
}

void TWin32Form::ServeSynchronizedCalls() {
    SetMainThread();
    HWND window = Window;
    SetWakeMainThread([window] { PostMessageW(window, SynchronizeMessage, 0, 0); });
}

// Classified when the focus moves, reported once it has moved: a handler's
// box must not open in the middle of a focus change. Posted in order, so the
// field being left is always reported before the one being entered.
void TWin32Form::FieldFocus(TControl field, bool gained, HWND other) {
    if (gained) {
        if (EnteredField == field) return; // back from a box or another window
        EnteredField = field;
    } else {
        const bool staysInWindow = other && GetAncestor(other, GA_ROOT) == Window;
        if (EnteredField != field || !staysInWindow) return;
        EnteredField = TControl::Form1;
    }
    PostMessageW(Window, FieldMessage, gained, static_cast<LPARAM>(field));
}

LRESULT CALLBACK TWin32Form::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<TWin32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TWin32Form::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR form) {
    return reinterpret_cast<TWin32Form*>(form)->ControlMessage(static_cast<TControl>(id), window,
                                                               message, wParam, lParam);
}

LRESULT TWin32Form::ControlMessage(TControl control, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    if (IsParameterField(control) && (message == WM_SETFOCUS || message == WM_KILLFOCUS))
        FieldFocus(control, message == WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
    if (control == TControl::Memo1) {
        if (message == WM_KEYUP || message == WM_SYSKEYUP) {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            Guarded(Events.LogKeyUp);
            return result;
        }
        // Tab leaves the log for the next control, as in the other controls.
        if (message == WM_GETDLGCODE) {
            LRESULT code = DefSubclassProc(window, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB)
                code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
            return code;
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT TWin32Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const TControl control = ControlOfId(LOWORD(wParam));
        if (HIWORD(wParam) == BN_CLICKED && DesignOf(control).Kind == TControlKind::Button) {
            Guarded([this, control] {
                if (Events.Click) Events.Click(control);
            });
            return 0;
        }
        break;
    }
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const TControl control = ControlOfId(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        if (DesignOf(control).Kind != TControlKind::Label) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Window, focus)) LastFocus = focus;
        } else {
            HWND focus = LastFocus && IsWindowEnabled(LastFocus)
                             ? LastFocus
                             : GetNextDlgTabItem(Window, nullptr, FALSE);
            if (focus) SetFocus(focus);
        }
        return 0;
    case SynchronizeMessage:
        Guarded([] { CheckSynchronize(); });
        return 0;
    case StatusMessage: {
        const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
        Guarded([this, &text] {
            if (Events.Status) Events.Status(*text);
        });
        return 0;
    }
    case FieldMessage: {
        const auto field = static_cast<TControl>(lParam);
        const auto& handler = wParam ? Events.Enter : Events.Exit;
        Guarded([&handler, field] {
            if (handler) handler(field);
        });
        return 0;
    }
    case WM_DESTROY:
        Guarded(Events.Destroy);
        Guarded([this] { RunPostedStatus(); });
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}

// Push buttons draw their caption in the window's green, which the system's
// buttons cannot: the themed (or classic) face, then the caption.
void TWin32Form::DrawButton(const DRAWITEMSTRUCT& item) const {
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    if (HTHEME theme = OpenThemeData(item.hwndItem, L"BUTTON")) {
        const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : PBS_NORMAL;
        DrawThemeParentBackground(item.hwndItem, item.hDC, &face);
        DrawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, state, &face, nullptr);
        CloseThemeData(theme);
    } else {
        DrawFrameControl(item.hDC, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    wchar_t caption[64]{};
    GetWindowTextW(item.hwndItem, caption, 64);
    RECT text = face;
    if (pressed) OffsetRect(&text, 1, 1);
    SetBkMode(item.hDC, TRANSPARENT);
    HGDIOBJ old = SelectObject(item.hDC, WindowFont);
    SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : Green);
    DrawTextW(item.hDC, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, old);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&face, -4, -4);
        DrawFocusRect(item.hDC, &face);
    }
}
