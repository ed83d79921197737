// The checks of the three editable parameter fields when the focus leaves
// them. The fields hold hexadecimal numbers, converted as "0x" + text.
#include <QFocusEvent>
#include <QLineEdit>

#include "app/Cp1251.h"
#include "app/ExceptionDisplay.h"
#include "app/Form1.h"
#include "app/UserMessages.h"
#include "protocol/FieldRules.h"
#include "runtime/IntConversion.h"

namespace {

// A box or another window taking the focus for a while is no leaving of the field.
bool LeavesForAnotherWindow(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

// Enter and Exit follow the window's own focus, not Qt's focus events as they
// come: a field keeps being entered while a box or another window is in front,
// and the field that has the focus when the window comes back is entered then
// (a box opened while the focus moved takes away the focus-in of its target).
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    using THandler = void (TForm1::*)();
    auto* field = static_cast<QLineEdit*>(watched);
    THandler handler = nullptr;
    if (event->type() == QEvent::FocusIn && field != EnteredField) {
        EnteredField = field;
        if (field == Ui.Edit4) handler = &TForm1::Edit4Enter;
        if (field == Ui.Edit5) handler = &TForm1::Edit5Enter;
        if (field == Ui.Edit6) handler = &TForm1::Edit6Enter;
    } else if (event->type() == QEvent::FocusOut && field == EnteredField &&
               !LeavesForAnotherWindow(event)) {
        EnteredField = nullptr;
        if (field == Ui.Edit4) handler = &TForm1::Edit4Exit;
        if (field == Ui.Edit5) handler = &TForm1::Edit5Exit;
        if (field == Ui.Edit6) handler = &TForm1::Edit6Exit;
    }
    if (handler) RunGuarded(Messages, [this, handler] { (this->*handler)(); });
    return QWidget::eventFilter(watched, event);
}

void TForm1::Edit4Enter() {
    SavedText = Ui.Edit4->text();
}
void TForm1::Edit5Enter() {
    SavedText = Ui.Edit5->text();
}
void TForm1::Edit6Enter() {
    SavedText = Ui.Edit6->text();
}

void TForm1::Edit4Exit() {
    ExitRangedField(Ui.Edit4, LowestDeviceAddress, HighestDeviceAddress,
                    QStringLiteral("Error: Неверный адрес устройства "));
}

void TForm1::Edit5Exit() {
    ExitRangedField(Ui.Edit5, LowestChannel, HighestChannel,
                    QStringLiteral("Error: Неверный канал "));
}

void TForm1::Edit6Exit() {
    ExitField(Ui.Edit6);
}

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
