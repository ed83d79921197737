// The window's design table.
#include "window/WindowLayout.h"

#include <array>

namespace {

using enum TControl;
using enum TControlKind;
using enum TControlFont;

// clang-format off
constexpr std::array<TControlDesign, 21> Layout{{
    // control  name       kind    parent  left top  width height tab text              font    enabled readonly max upper
    {Form1,   "Form1",   Form,   Form1,    0,   0,  847, 523,  -1, "wbqTools",        Window, true,  false, 0, false},
    {Button1, "Button1", Button, Form1,    6,   7,   92,  31,   0, "Connect",         Window, true,  false, 0, false},
    {Edit1,   "Edit1",   Edit,   Form1,  106,   7,  149,  24,   1, "5556",            Bold,   true,  false, 0, false},
    {Edit2,   "Edit2",   Edit,   Form1,  106,  39,  149,  24,   2, "127.0.0.1",       Bold,   true,  false, 0, false},
    {Label6,  "Label6",  Label,  Form1,  272,  16,   74,  16,  -1, "BQ адрес:",       Bold,   true,  false, 0, false},
    {Edit8,   "Edit8",   Edit,   Form1,  272,  40,   57,  24,   7, "2001",            Bold,   true,  false, 4, true},
    {Memo1,   "Memo1",   Log,    Form1,  352,   8,  480, 467,   3, "",                LogFont, true,  false, 0, false},
    {Panel1,  "Panel1",  Panel,  Form1,    8,  80,  337, 145,   5, nullptr,           Window, true,  false, 0, false},
    {Label1,  "Label1",  Label,  Panel1,   8,  16,   86,  16,  -1, "MAC адрес:",      Bold,   true,  false, 0, false},
    {Label2,  "Label2",  Label,  Panel1,   8,  40,   83,  16,  -1, "WBQ адрес:",      Bold,   true,  false, 0, false},
    {Label3,  "Label3",  Label,  Panel1,   8,  64,  112,  16,  -1, "Номер канала:",   Bold,   true,  false, 0, false},
    {Label4,  "Label4",  Label,  Panel1,   8,  88,   55,  16,  -1, "PAN ID:",         Bold,   true,  false, 0, false},
    {Label5,  "Label5",  Label,  Panel1,   8, 112,  128,  16,  -1, "Тип устройства:", Bold,   true,  false, 0, false},
    {Edit3,   "Edit3",   Edit,   Panel1, 144,   8,  161,  24,   0, "NC",              Bold,   false, true,  0, false},
    {Edit4,   "Edit4",   Edit,   Panel1, 144,  32,  161,  24,   1, "NC",              Bold,   false, false, 2, false},
    {Edit5,   "Edit5",   Edit,   Panel1, 144,  56,  161,  24,   2, "NC",              Bold,   false, false, 2, false},
    {Edit6,   "Edit6",   Edit,   Panel1, 144,  80,  161,  24,   3, "NC",              Bold,   false, false, 4, false},
    {Edit7,   "Edit7",   Edit,   Panel1, 144, 104,  161,  24,   4, "NC",              Bold,   false, true,  0, false},
    {Button2, "Button2", Button, Form1,   11, 231,   92,  31,   4, "Считать",         Window, true,  false, 0, false},
    {Button3, "Button3", Button, Form1,  112, 231,   92,  31,   6, "Записать",        Window, false, false, 0, false},
    {Button4, "Button4", Button, Form1,  216, 231,  105,  31,   8, "Перезагрузка",    Window, true,  false, 0, false},
}};
// clang-format on

} // namespace

std::span<const TControlDesign> WindowLayout() {
    return Layout;
}

const TControlDesign& DesignOf(TControl control) {
    return Layout[static_cast<size_t>(control)];
}
