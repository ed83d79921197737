// The window built from the design table: places scaled to the screen,
// fonts, states, typing limits and the order of the Tab key.
#include <gtest/gtest.h>

#include <vector>

#include "tests/winview/WindowPump.h"
#include "winview/Win32Form.h"

namespace {

RECT PlaceInParent(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The panel's fields are placed in its client area, inside its border.
RECT DesignPlace(const TWin32Form& form, const TControlDesign& design) {
    return {form.Scaled(design.Left), form.Scaled(design.Top),
            form.Scaled(design.Left + design.Width), form.Scaled(design.Top + design.Height)};
}

TEST(Win32FormLayout, EveryControlStandsWhereTheDesignPutsItWithItsFontAndState) {
    TWin32Form form;
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, form.Scaled(847));
    EXPECT_EQ(outer.bottom - outer.top, form.Scaled(523));
    EXPECT_EQ(form.Text(TControl::Form1), "wbqTools");
    for (const TControlDesign& design : WindowLayout()) {
        if (design.Control == TControl::Form1) continue;
        SCOPED_TRACE(design.Name);
        HWND control = form.ControlHandle(design.Control);
        ASSERT_TRUE(IsWindow(control));
        EXPECT_EQ(GetParent(control), form.ControlHandle(design.Parent));
        const RECT place = PlaceInParent(control), wanted = DesignPlace(form, design);
        EXPECT_EQ(place.left, wanted.left);
        EXPECT_EQ(place.top, wanted.top);
        EXPECT_EQ(place.right - place.left, wanted.right - wanted.left);
        EXPECT_EQ(place.bottom - place.top, wanted.bottom - wanted.top);
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, design.Enabled);
        if (design.Text && design.Kind != TControlKind::Log) {
            EXPECT_EQ(form.Text(design.Control), design.Text);
        }
        if (design.Kind == TControlKind::Panel) continue; // draws no text
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_EQ(font.lfWeight >= FW_BOLD, design.Font != TControlFont::Window);
        EXPECT_EQ(-font.lfHeight, form.Scaled(DesignFontHeight));
        if (design.Kind != TControlKind::Edit) continue;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ((style & ES_READONLY) != 0, design.ReadOnly);
        EXPECT_EQ((style & ES_UPPERCASE) != 0, design.UpperCase);
        if (design.MaxLength > 0) {
            EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), design.MaxLength);
        }
    }
}

TEST(Win32FormLayout, TabVisitsTheControlsInTheDesignsOrderThroughThePanel) {
    TWin32Form form;
    for (TControl field : {TControl::Edit3, TControl::Edit4, TControl::Edit5, TControl::Edit6,
                           TControl::Edit7, TControl::Button3})
        form.SetEnabled(field, true);
    const std::vector<TControl> expected{
        TControl::Button1, TControl::Edit1, TControl::Edit2,   TControl::Memo1,  TControl::Button2,
        TControl::Edit3,   TControl::Edit4, TControl::Edit5,   TControl::Edit6,  TControl::Edit7,
        TControl::Button3, TControl::Edit8, TControl::Button4, TControl::Button1};
    HWND at = GetNextDlgTabItem(form.Handle(), nullptr, FALSE);
    for (const TControl control : expected) {
        EXPECT_EQ(at, form.ControlHandle(control)) << DesignOf(control).Name;
        at = GetNextDlgTabItem(form.Handle(), at, FALSE);
    }
}

TEST(Win32FormLayout, TypingStopsAtTheLimitWhileTheWindowsOwnTextStaysWhole) {
    TWin32Form form;
    form.SetEnabled(TControl::Edit5, true);
    form.SetText(TControl::Edit5, "Channel error");
    EXPECT_EQ(form.Text(TControl::Edit5), "Channel error");

    HWND channel = form.ControlHandle(TControl::Edit5);
    form.SetText(TControl::Edit5, "");
    for (const wchar_t ch : {L'1', L'a', L'7'})
        SendMessageW(channel, WM_CHAR, ch, 0);
    EXPECT_EQ(form.Text(TControl::Edit5), "1a");

    HWND gateway = form.ControlHandle(TControl::Edit8);
    form.SetText(TControl::Edit8, "");
    for (const wchar_t ch : {L'a', L'b', L'1', L'f', L'e'})
        SendMessageW(gateway, WM_CHAR, ch, 0);
    EXPECT_EQ(form.Text(TControl::Edit8), "AB1F");
}

} // namespace
