// What the window says about a control beyond its caption: the tooltip and
// the name a screen reader announces. Additions only; the design is unchanged.
#pragma once

#include <cstdint>
#include <string>

#include "window/WindowLayout.h"

struct TControlHint {
    const char* ToolTip;        // UTF-8; nullptr for none
    const char* AccessibleName; // UTF-8; nullptr for none
};

TControlHint HintOf(TControl control);

// The channel field's tooltip for its text: the decimal radio channel when
// the text is a channel number, and the range in both notations.
std::string ChannelHint(const std::string& text);
