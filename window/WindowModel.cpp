// The window's handlers: connect, the command buttons, the log's keys, the
// answers to reads, the field checks and shutdown.
#include "window/WindowModel.h"

#include <array>
#include <optional>

#include "runtime/Cp1251.h"
#include "runtime/IntConversion.h"
#include "window/ExceptionDisplay.h"
#include "window/WindowHints.h"

namespace {

// The field that shows each memory field, in table order.
constexpr std::array<TControl, 5> AnswerFields{TControl::Edit3, TControl::Edit4, TControl::Edit5,
                                               TControl::Edit6, TControl::Edit7};

struct TCheckedField {
    TControl Control;
    TMemoryField Field;
    const char* RangeMessage; // followed by the refused text; nullptr: any number passes
};

constexpr std::array<TCheckedField, 3> CheckedFields{{
    {TControl::Edit4, TMemoryField::Address, "Error: Неверный адрес устройства "},
    {TControl::Edit5, TMemoryField::Channel, "Error: Неверный канал "},
    {TControl::Edit6, TMemoryField::PanId, nullptr},
}};

const TCheckedField* CheckedField(TControl control) {
    for (const TCheckedField& field : CheckedFields)
        if (field.Control == control) return &field;
    return nullptr;
}

} // namespace

TWindowModel::TWindowModel(TWindowView& view, TIdTelnetInterface& client)
    : View(view), Client(client),
      Dialogue(client, [this](const std::string& entry) { Log(entry); }) {}

template <class Handler> void TWindowModel::Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        try {
            View.ShowException(Cp1251ToUtf8(ExceptionDisplayMessage(std::current_exception())));
        } catch (...) {
            // A view that fails to show a box has nothing left to show it with.
        }
    }
}

void TWindowModel::Log(const std::string& cp1251) {
    View.AppendLog(Cp1251ToUtf8(cp1251));
}

std::string TWindowModel::WireText(TControl control) const {
    return Utf8ToCp1251(View.Text(control));
}

void TWindowModel::Button1Click() noexcept {
    Guarded([this] {
        // A port that is no integer is the operator's to see in a box: not caught here.
        Client.SetPort(StrToInt(WireText(TControl::Edit1)));
        Client.SetHost(WireText(TControl::Edit2));
        try {
            Client.Connect();
            // One connection per run.
            View.SetEnabled(TControl::Button1, false);
        } catch (const EIdException& e) {
            Log(e.Message);
        }
    });
}

void TWindowModel::Button2Click() noexcept {
    Guarded([this] {
        try {
            Dialogue.ReadAll(WireText(TControl::Edit8));
        } catch (const EIdException& e) {
            Log(e.Message);
        }
    });
}

void TWindowModel::Button3Click() noexcept {
    Guarded([this] {
        try {
            // A channel that is no number stops the sequence and reaches the
            // operator's box, not the log.
            for (const auto& [control, field, message] : CheckedFields)
                Dialogue.Write(WireText(TControl::Edit8), field, WireText(control));
        } catch (const EIdException& e) {
            Log(e.Message);
        }
    });
}

void TWindowModel::Button4Click() noexcept {
    Guarded([this] {
        try {
            Dialogue.Reset(WireText(TControl::Edit8));
        } catch (const EIdException& e) {
            Log(e.Message);
        }
    });
}

void TWindowModel::Memo1KeyUp() noexcept {
    Guarded([this] { Client.TransmitChar('\r'); });
}

void TWindowModel::FieldEnter(TControl field) noexcept {
    Guarded([this, field] {
        if (CheckedField(field)) FSavedText = View.Text(field);
    });
}

void TWindowModel::FieldExit(TControl control) noexcept {
    Guarded([this, control] {
        CheckField(control);
        if (control == TControl::Edit5) View.SetToolTip(control, ChannelHint(View.Text(control)));
    });
}

void TWindowModel::CheckField(TControl control) {
    const TCheckedField* checked = CheckedField(control);
    if (!checked) return;
    int32_t value = 0;
    try {
        value = StrToInt("0x" + WireText(control));
    } catch (const EConvertError& e) {
        // Restored before the box opens: the operator sees it behind the box.
        View.SetText(control, FSavedText);
        View.ShowMessage(Cp1251ToUtf8(e.Message));
        return;
    }
    if (!checked->RangeMessage || InRange(checked->Field, value)) return;
    // Restored after the box: the operator sees the refused text while
    // reading why. The text is taken before the box opens, because the
    // focus may move into the next field meanwhile, whose Enter saves its own.
    const std::string restored = FSavedText;
    View.ShowMessage(checked->RangeMessage + View.Text(control));
    View.SetText(control, restored);
}

void TWindowModel::IdTelnet1DataAvailable(const std::string& chunk) {
    const std::optional<TMemoryAnswer> answer =
        Dialogue.TakeChunk(WireText(TControl::Edit8), chunk);
    if (!answer) return;
    // Set directly: a value from the gateway is not checked like a typed one.
    const TControl field = AnswerFields[static_cast<size_t>(answer->Field)];
    View.SetText(field, Cp1251ToUtf8(answer->Text));
    View.SetEnabled(field, true);
    if (field == TControl::Edit5) View.SetToolTip(field, ChannelHint(View.Text(field)));
    if (answer->Field == TMemoryField::Mac) View.SetEnabled(TControl::Button3, true);
}

void TWindowModel::IdTelnet1Status(const std::string& text) noexcept {
    Guarded([this, &text] { Log(text); });
}

void TWindowModel::FormDestroy() noexcept {
    Guarded([this] {
        try {
            Client.Disconnect();
        } catch (const EIdException&) {
            // Closing the window after the gateway has gone is no error.
        }
    });
}
