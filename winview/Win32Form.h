// The window on Windows: every control of the design table as a native
// control, scaled from 120 pixels per inch to the screen's, and the view the
// window model works through.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "window/WindowView.h"
#include "winview/LogControl.h"

// A control's id is this plus its place in TControl; the panel's fields are
// the panel's children.
inline constexpr int FirstControlId = 100;
inline constexpr wchar_t FormClassName[] = L"bqTestForm";

// What the window tells its model. Every call comes on the GUI thread and is
// guarded: what a handler raises goes to the exception display.
struct TFormEvents {
    std::function<void(TControl)> Click; // Button1 to Button4
    // The focus entered Edit4, Edit5 or Edit6; it left the field for another
    // control of the window (a box or another window in between is no leaving).
    std::function<void(TControl)> Enter;
    std::function<void(TControl)> Exit;
    std::function<void()> LogKeyUp;                 // any key released in the log
    std::function<void(const std::string&)> Status; // see HandOverStatus
    std::function<void()> Destroy;                  // the window is being destroyed
};

class TWin32Form : public TWindowView {
public:
    TWin32Form();
    ~TWin32Form() override;
    TWin32Form(const TWin32Form&) = delete;
    TWin32Form& operator=(const TWin32Form&) = delete;

    HWND Handle() const { return Window; }
    HWND ControlHandle(TControl control) const { return Controls[static_cast<size_t>(control)]; }
    TLogControl& Log() const { return *LogControl; }
    // Design pixels at this screen's resolution.
    int Scaled(int designPixels) const;

    std::string Text(TControl control) const override;
    void SetText(TControl control, const std::string& text) override;
    void SetEnabled(TControl control, bool enabled) override;
    void AppendLog(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowException(const std::string& message) override;

    // Any thread: `text` reaches Events.Status on the GUI thread after every
    // text handed over before it; on the GUI thread itself, at once.
    void HandOverStatus(const std::string& text);
    // GUI thread: the reader's synchronised calls are run when it wakes us.
    void ServeSynchronizedCalls();
    // Runs `handler`; what it raises is shown by the exception display.
    void Guarded(const std::function<void()>& handler);

    TFormEvents Events;

private:
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR form);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ControlMessage(TControl control, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam);
    void CreateChildren(TControl parent, HWND parentWindow);
    void FieldFocus(TControl field, bool gained, HWND other);
    void RunPostedStatus();
    void DrawButton(const DRAWITEMSTRUCT& item) const;

    HWND Window = nullptr;
    int Dpi = 96;
    HFONT WindowFont = nullptr;
    HFONT BoldFont = nullptr;
    std::array<HWND, 21> Controls{};
    std::unique_ptr<TLogControl> LogControl;
    // The parameter field whose Enter was reported last and whose Exit was not yet.
    TControl EnteredField = TControl::Form1;
    HWND LastFocus = nullptr; // given back when the window is activated again
};
