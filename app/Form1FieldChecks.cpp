// The checks of the three editable parameter fields when the focus leaves
// them. The fields hold hexadecimal numbers, converted as "0x" + text.
#include <QFocusEvent>
#include <QLineEdit>

#include "app/Cp1251.h"
#include "app/ExceptionDisplay.h"
#include "app/Form1.h"
#include "app/UserMessages.h"
#include "runtime/IntConversion.h"

namespace {

// Device addresses 02..FE, channels 11..26 (IEEE 802.15.4, 2.4 GHz band).
constexpr int32_t LowestAddress = 0x02, HighestAddress = 0xFE;
constexpr int32_t LowestChannel = 11, HighestChannel = 26;

// Focus moves inside the window only: a box or another window taking the
// focus for a while is neither leaving nor entering a field.
bool MovesInsideWindow(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool in = event->type() == QEvent::FocusIn;
    if ((in || event->type() == QEvent::FocusOut) && MovesInsideWindow(event)) {
        using THandler = void (TForm1::*)();
        THandler handler = nullptr;
        if (watched == Ui.Edit4) handler = in ? &TForm1::Edit4Enter : &TForm1::Edit4Exit;
        if (watched == Ui.Edit5) handler = in ? &TForm1::Edit5Enter : &TForm1::Edit5Exit;
        if (watched == Ui.Edit6) handler = in ? &TForm1::Edit6Enter : &TForm1::Edit6Exit;
        if (handler) RunGuarded(Messages, [this, handler] { (this->*handler)(); });
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::Edit4Enter() { SavedText = Ui.Edit4->text(); }
void TForm1::Edit5Enter() { SavedText = Ui.Edit5->text(); }
void TForm1::Edit6Enter() { SavedText = Ui.Edit6->text(); }

void TForm1::Edit4Exit() {
    ExitRangedField(Ui.Edit4, LowestAddress, HighestAddress,
                    QStringLiteral("Error: Неверный адрес устройства "));
}

void TForm1::Edit5Exit() {
    ExitRangedField(Ui.Edit5, LowestChannel, HighestChannel,
                    QStringLiteral("Error: Неверный канал "));
}

void TForm1::Edit6Exit() { ExitField(Ui.Edit6); }

// The field's value, or nothing when its text is no hexadecimal number; then the
// saved text is restored before the box opens, so the operator sees it behind the box.
std::optional<int32_t> TForm1::ConvertField(QLineEdit* field) {
    try {
        return StrToInt("0x" + ToCp1251(field->text()));
    } catch (const EConvertError& e) {
        field->setText(SavedText);
        Messages.ShowMessage(FromCp1251(e.Message));
        return std::nullopt;
    }
}

void TForm1::ExitField(QLineEdit* field) {
    ConvertField(field);
}

void TForm1::ExitRangedField(QLineEdit* field, int32_t lowest, int32_t highest,
                             const QString& message) {
    const std::optional<int32_t> value = ConvertField(field);
    if (!value || (*value >= lowest && *value <= highest)) return;
    // Restored after the box: the operator sees the refused text while reading why.
    Messages.ShowMessage(message + field->text());
    field->setText(SavedText);
}
