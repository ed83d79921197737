// What the window model asks of a view: the toolkit's side of the window.
// Every call comes on the GUI thread; every text is UTF-8.
#pragma once

#include <string>

#include "window/WindowLayout.h"

class TWindowView {
public:
    virtual ~TWindowView() = default;

    virtual std::string Text(TControl control) const = 0;
    // The text whole, even when it is longer than the control's typing limit
    // ("Channel error" in a two-character field).
    virtual void SetText(TControl control, const std::string& text) = 0;
    virtual void SetEnabled(TControl control, bool enabled) = 0;
    // A new last line of the log; line breaks inside `text` start further lines.
    virtual void AppendLog(const std::string& text) = 0;
    // A modal box titled "bqTest" with one OK button: a plain message, or
    // the application's exception display (error icon).
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void ShowException(const std::string& message) = 0;
    // The control's tooltip; a view without tooltips ignores it.
    virtual void SetToolTip(TControl /*control*/, const std::string& /*text*/) {}
};
