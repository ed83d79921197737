// The window's decisions without a toolkit: what each button does, the checks
// of the three editable parameter fields with their saved text, which fields
// and buttons are enabled, which errors go to the log and which to a box, and
// every log line. A view builds the controls from WindowLayout(), forwards
// their events here and shows what the model asks of it (TWindowView).
//
// Threads: every call on the GUI thread, one at a time. The view wires the
// client's two events itself: data chunks arrive on the GUI thread already
// (the client's hand-over); status texts raised on the reader thread are the
// view's to hand over to the GUI thread, in the order raised, before it calls
// IdTelnet1Status.
//
// Guarded (noexcept): every handler except IdTelnet1DataAvailable. An
// exception escaping the handler's own decisions (a port or channel that is
// no number, a carriage return from the log without a connection) is shown
// through TWindowView::ShowException with ExceptionDisplayMessage's text.
// Unguarded: IdTelnet1DataAvailable, whose exceptions (a carriage return the
// closed connection refuses) go back to the client's reader.
//
// Texts: UTF-8 toward the view; Windows-1251 toward the client and in the
// chunks and status texts the client delivers. The model converts, at one place.
#pragma once

#include <string>

#include "dialogue/GatewayDialogue.h"
#include "net/telnet/IdTelnetInterface.h"
#include "window/WindowView.h"

class TWindowModel {
public:
    // Both must outlive the model. The initial state is the layout's.
    TWindowModel(TWindowView& view, TIdTelnetInterface& client);

    void Button1Click() noexcept; // connect
    void Button2Click() noexcept; // read
    void Button3Click() noexcept; // write
    void Button4Click() noexcept; // reset
    void Memo1KeyUp() noexcept;   // any key released in the log: one carriage return

    // Focus entering and leaving a parameter field (Edit4, Edit5, Edit6);
    // other controls are ignored.
    void FieldEnter(TControl field) noexcept;
    void FieldExit(TControl field) noexcept;
    void Edit4Enter() noexcept { FieldEnter(TControl::Edit4); }
    void Edit5Enter() noexcept { FieldEnter(TControl::Edit5); }
    void Edit6Enter() noexcept { FieldEnter(TControl::Edit6); }
    void Edit4Exit() noexcept { FieldExit(TControl::Edit4); }
    void Edit5Exit() noexcept { FieldExit(TControl::Edit5); }
    void Edit6Exit() noexcept { FieldExit(TControl::Edit6); }

    // One received chunk (Windows-1251), on the GUI thread.
    void IdTelnet1DataAvailable(const std::string& chunk);
    // One status text (Windows-1251), on the GUI thread, in the order raised.
    void IdTelnet1Status(const std::string& text) noexcept;
    // The window is closing: disconnect, a network error swallowed.
    void FormDestroy() noexcept;

    // The text of the parameter field entered last (UTF-8).
    const std::string& SavedText() const { return FSavedText; }

private:
    void Log(const std::string& cp1251);
    std::string WireText(TControl control) const; // the control's text in Windows-1251
    void CheckField(TControl control);
    template <class Handler> void Guarded(Handler&& handler) noexcept;

    TWindowView& View;
    TIdTelnetInterface& Client;
    TGatewayDialogue Dialogue;
    std::string FSavedText;
};
