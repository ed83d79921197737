// The window's design as data: every control with its kind, parent, place and
// size in design pixels (120 pixels per inch), tab order, text, font and
// limits. Every view builds itself from this one table.
#pragma once

#include <span>

enum class TControl {
    Form1,
    Button1,
    Edit1,
    Edit2,
    Label6,
    Edit8,
    Memo1,
    Panel1,
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Edit3,
    Edit4,
    Edit5,
    Edit6,
    Edit7,
    Button2,
    Button3,
    Button4,
};

enum class TControlKind { Form, Button, Edit, Label, Log, Panel };

// Window: the window's font ("MS Sans Serif" -13, green). Bold: the same
// font bold in the window text colour. LogFont: bold green on black.
enum class TControlFont { Window, Bold, LogFont };

inline constexpr int DesignPixelsPerInch = 120;
inline constexpr int DesignFontHeight = 13;             // pixels, at the design resolution
inline constexpr int DesignLeft = 221, DesignTop = 145; // the window's place on the screen

struct TControlDesign {
    TControl Control;
    const char* Name; // "Button1"
    TControlKind Kind;
    TControl Parent; // Form1 for the window itself and its direct children
    int Left, Top, Width, Height;
    int TabOrder;     // within the parent; -1 for none
    const char* Text; // UTF-8 caption or initial text; nullptr for none
    TControlFont Font;
    bool Enabled;
    bool ReadOnly;
    int MaxLength; // characters the operator may type; 0 for no limit
    bool UpperCase;
};

// Every control, the window first, parents before their children.
std::span<const TControlDesign> WindowLayout();
const TControlDesign& DesignOf(TControl control);
