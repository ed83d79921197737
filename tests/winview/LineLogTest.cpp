// The log's own control: appended lines after what the operator typed, the
// operator's editing, and a selection copied whole across lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/winview/WindowPump.h"
#include "winview/LineLog.h"

namespace {

class LineLogTest : public testing::Test {
protected:
    LineLogTest() {
        Parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                 300, nullptr, nullptr, nullptr, nullptr);
        Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        Log = std::make_unique<TLineLog>(Parent, 1, RECT{0, 0, 300, 200}, Font, RGB(0, 128, 0), 0);
    }
    ~LineLogTest() override {
        Log.reset();
        DestroyWindow(Parent);
    }

    void Type(std::wstring_view text) {
        for (const wchar_t ch : text)
            SendMessageW(Log->Handle(), WM_CHAR, ch, 0);
    }
    void Key(WPARAM key) { SendMessageW(Log->Handle(), WM_KEYDOWN, key, 0); }

    HWND Parent;
    HFONT Font;
    std::unique_ptr<TLineLog> Log;
};

TEST_F(LineLogTest, LinesFollowTheOperatorsTextOnTheirOwnLinesAndTheCaretWaitsBelow) {
    Log->AppendLines({L"Connecting to 127.0.0.1.", L"Connected."});
    Type(L"ab\bc");
    Log->AppendLines({L"> 2001 MEM 87 00 01 00 01"});
    Type(L"x\ry");
    const std::vector<std::wstring> lines{L"Connecting to 127.0.0.1.",  L"Connected.", L"ac",
                                          L"> 2001 MEM 87 00 01 00 01", L"x",          L"y"};
    EXPECT_EQ(Log->Lines(), lines);
}

TEST_F(LineLogTest, TheCaretKeysMoveAndTheDeleteKeysJoinLines) {
    Log->AppendLines({L"one", L"two"});
    Key(VK_UP);   // to the start of "two"
    Key(VK_BACK); // the key itself does nothing: Backspace acts as the character
    Type(L"\b");  // joins "two" to "one"
    Key(VK_END);
    Type(L"!");
    Key(VK_HOME);
    Key(VK_DELETE);
    const std::vector<std::wstring> lines{L"netwo!"};
    EXPECT_EQ(Log->Lines(), lines);
}

TEST_F(LineLogTest, ASelectionAcrossLinesIsCopiedWholeAndReplacedByWhatIsTyped) {
    Log->AppendLines({L"alpha", L"beta"});
    SendMessageW(Log->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1)); // start of "alpha"
    SendMessageW(Log->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Key(VK_DOWN);  // to the start of "beta"
    Key(VK_RIGHT); // and past its "b"
    keys[VK_SHIFT] = 0;
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key('C');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    Type(L"Z");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE copied = GetClipboardData(CF_UNICODETEXT);
    const std::wstring clipboard = copied ? static_cast<const wchar_t*>(GlobalLock(copied)) : L"";
    if (copied) GlobalUnlock(copied);
    CloseClipboard();
    EXPECT_EQ(clipboard, L"alpha\r\nb");
    const std::vector<std::wstring> lines{L"Zeta"};
    EXPECT_EQ(Log->Lines(), lines);
}

} // namespace
