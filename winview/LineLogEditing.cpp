// The operator's editing in the line-keeping log: caret keys, typing,
// deleting, and the clipboard.
#include <algorithm>

#include "winview/LineLog.h"

namespace {

bool Held(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

} // namespace

std::wstring TLineLog::SelectedText() const {
    const TPlace from = std::min(Caret, Anchor), to = std::max(Caret, Anchor);
    if (from.Line == to.Line) return Text[from.Line].substr(from.Column, to.Column - from.Column);
    std::wstring text = Text[from.Line].substr(from.Column);
    for (size_t line = from.Line + 1; line < to.Line; ++line)
        text += L"\r\n" + Text[line];
    return text + L"\r\n" + Text[to.Line].substr(0, to.Column);
}

void TLineLog::EraseSelection() {
    const TPlace from = std::min(Caret, Anchor), to = std::max(Caret, Anchor);
    if (from == to) return;
    Text[from.Line] = Text[from.Line].substr(0, from.Column) + Text[to.Line].substr(to.Column);
    Text.erase(Text.begin() + static_cast<std::ptrdiff_t>(from.Line) + 1,
               Text.begin() + static_cast<std::ptrdiff_t>(to.Line) + 1);
    Caret = Anchor = from;
}

// `text` at the caret in place of the selection; its line breaks split lines.
void TLineLog::Insert(std::wstring_view text) {
    EraseSelection();
    const std::vector<std::wstring_view> pieces = SplitLogLines(text);
    const std::wstring tail = Text[Caret.Line].substr(Caret.Column);
    Text[Caret.Line].resize(Caret.Column);
    Text[Caret.Line] += pieces.front();
    size_t line = Caret.Line;
    for (size_t i = 1; i < pieces.size(); ++i)
        Text.insert(Text.begin() + static_cast<std::ptrdiff_t>(++line), std::wstring(pieces[i]));
    const size_t column = Text[line].size();
    Text[line] += tail;
    MoveCaret({line, column}, false);
}

void TLineLog::Character(wchar_t ch) {
    if (ch == L'\b') {
        if (Caret == Anchor && Caret.Column > 0)
            Anchor.Column = Caret.Column - 1;
        else if (Caret == Anchor && Caret.Line > 0)
            Anchor = {Caret.Line - 1, Text[Caret.Line - 1].size()};
        EraseSelection();
        MoveCaret(Caret, false);
    } else if (ch == L'\r') {
        Insert(L"\n");
    } else if (ch >= L' ' || ch == L'\t') {
        Insert(std::wstring_view(&ch, 1));
    }
}

void TLineLog::KeyDown(WPARAM key) {
    const bool shift = Held(VK_SHIFT), control = Held(VK_CONTROL);
    TPlace to = Caret;
    const size_t page = VisibleLines();
    switch (key) {
    case VK_LEFT:
        if (to.Column > 0)
            --to.Column;
        else if (to.Line > 0)
            to = {to.Line - 1, Text[to.Line - 1].size()};
        break;
    case VK_RIGHT:
        if (to.Column < Text[to.Line].size())
            ++to.Column;
        else if (to.Line + 1 < Text.size())
            to = {to.Line + 1, 0};
        break;
    case VK_UP:
        to.Line = to.Line > 0 ? to.Line - 1 : 0;
        break;
    case VK_DOWN:
        to.Line = std::min(to.Line + 1, Text.size() - 1);
        break;
    case VK_PRIOR:
        to.Line = to.Line > page ? to.Line - page : 0;
        break;
    case VK_NEXT:
        to.Line = std::min(to.Line + page, Text.size() - 1);
        break;
    case VK_HOME:
        to = {control ? 0 : to.Line, 0};
        break;
    case VK_END:
        to.Line = control ? Text.size() - 1 : to.Line;
        to.Column = Text[to.Line].size();
        break;
    case VK_DELETE:
        if (Caret == Anchor) {
            if (Caret.Column < Text[Caret.Line].size())
                Anchor.Column = Caret.Column + 1;
            else if (Caret.Line + 1 < Text.size())
                Anchor = {Caret.Line + 1, 0};
        }
        EraseSelection();
        MoveCaret(Caret, false);
        return;
    case 'A':
        if (control) {
            Anchor = {0, 0};
            MoveCaret({Text.size() - 1, Text.back().size()}, true);
        }
        return;
    case 'C':
    case 'X':
    case VK_INSERT:
        if (!control || Caret == Anchor || !OpenClipboard(Window)) return;
        {
            const std::wstring text = SelectedText();
            EmptyClipboard();
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
            if (memory) {
                std::copy_n(text.c_str(), text.size() + 1,
                            static_cast<wchar_t*>(GlobalLock(memory)));
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
            }
            CloseClipboard();
            if (key == 'X') {
                EraseSelection();
                MoveCaret(Caret, false);
            }
        }
        return;
    case 'V':
        if (!control || !OpenClipboard(Window)) return;
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
            const std::wstring text(static_cast<const wchar_t*>(GlobalLock(memory)));
            GlobalUnlock(memory);
            Insert(text);
        }
        CloseClipboard();
        return;
    default:
        return;
    }
    to.Column = std::min(to.Column, Text[to.Line].size());
    MoveCaret(to, shift);
}
