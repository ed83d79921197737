// The main window's wiring: the model's handlers on the widgets' signals and
// the client's events, the window's own focus, and the view the model uses.
#include "app/Form1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "app/LogView.h"
#include "app/TypingLimit.h"
#include "app/UserMessages.h"

namespace {

// A box or another window taking the focus for a while is no leaving of the field.
bool LeavesForAnotherWindow(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

constexpr TControl CheckedFields[] = {TControl::Edit4, TControl::Edit5, TControl::Edit6};

} // namespace

TForm1::TForm1(std::unique_ptr<TIdTelnetInterface> client, TUserMessages& messages, QWidget* parent)
    : QWidget(parent), Messages(messages), IdTelnet1(std::move(client)), Model(*this, *IdTelnet1) {
    Ui.SetupUi(this);
    ConnectSignals();
}

TForm1::~TForm1() {
    Model.FormDestroy();
    // The client goes while the log still stands, for the texts it reports on its way out.
    IdTelnet1.reset();
}

void TForm1::ConnectSignals() {
    connect(Ui.Button(TControl::Button1), &QPushButton::clicked, this,
            [this] { Model.Button1Click(); });
    connect(Ui.Button(TControl::Button2), &QPushButton::clicked, this,
            [this] { Model.Button2Click(); });
    connect(Ui.Button(TControl::Button3), &QPushButton::clicked, this,
            [this] { Model.Button3Click(); });
    connect(Ui.Button(TControl::Button4), &QPushButton::clicked, this,
            [this] { Model.Button4Click(); });
    connect(Ui.Memo1(), &TLogView::KeyReleased, this, [this] { Model.Memo1KeyUp(); });
    for (const TControl field : CheckedFields)
        Ui.Control(field)->installEventFilter(this);

    IdTelnet1->SetOnStatus(
        [this](TObject*, TIdStatus, const std::string& text) { IdTelnet1Status(text); });
    // Left unguarded: the client hands what a chunk's handler raises back to its reader.
    IdTelnet1->SetOnDataAvailable(
        [this](const std::string& buffer) { IdTelnet1DataAvailable(buffer); });
}

// Enter and Exit follow the window's own focus, not Qt's focus events as they
// come: a field keeps being entered while a box or another window is in front,
// and the field that has the focus when the window comes back is entered then
// (a box opened while the focus moved takes away the focus-in of its target).
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    auto* field = static_cast<QLineEdit*>(watched);
    const TControl control = field == Ui.Control(TControl::Edit4)   ? TControl::Edit4
                             : field == Ui.Control(TControl::Edit5) ? TControl::Edit5
                                                                    : TControl::Edit6;
    if (event->type() == QEvent::FocusIn && field != EnteredField) {
        EnteredField = field;
        Model.FieldEnter(control);
    } else if (event->type() == QEvent::FocusOut && field == EnteredField &&
               !LeavesForAnotherWindow(event)) {
        EnteredField = nullptr;
        Model.FieldExit(control);
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::IdTelnet1Status(const std::string& text) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, text] { Model.IdTelnet1Status(text); }, Qt::QueuedConnection);
        return;
    }
    // Texts that another thread raised earlier may still wait in the queue;
    // they go first, so that the log keeps the order in which texts were raised.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    Model.IdTelnet1Status(text);
}

void TForm1::IdTelnet1DataAvailable(const std::string& buffer) {
    // Status texts the reader raised before handing this chunk over (the
    // peer's close) wait as posted events; they go first, or a chunk queued
    // right behind another would overtake them in the log.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    Model.IdTelnet1DataAvailable(buffer);
}

std::string TForm1::Text(TControl control) const {
    QWidget* widget = Ui.Control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
    return {};
}

void TForm1::SetText(TControl control, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(Ui.Control(control)))
        TTypingLimit::ShowWindowText(edit, QString::fromStdString(text));
}

void TForm1::SetEnabled(TControl control, bool enabled) {
    Ui.Control(control)->setEnabled(enabled);
}

void TForm1::AppendLog(const std::string& text) {
    Ui.Memo1()->AppendLine(QString::fromStdString(text));
}

void TForm1::ShowMessage(const std::string& text) {
    Messages.ShowMessage(QString::fromStdString(text));
}

void TForm1::SetToolTip(TControl control, const std::string& text) {
    Ui.Control(control)->setToolTip(QString::fromStdString(text));
}

void TForm1::ShowException(const std::string& message) {
    Messages.ShowException(QString::fromStdString(message));
}
