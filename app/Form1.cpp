// The main window's construction, connect button, status log, log keys and
// shutdown.
#include "app/Form1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "app/Cp1251.h"
#include "app/ExceptionDisplay.h"
#include "app/LogView.h"
#include "runtime/IntConversion.h"

TForm1::TForm1(std::unique_ptr<TIdTelnetInterface> client, TUserMessages& messages, QWidget* parent)
    : QWidget(parent), MacDescriptor(FieldRow(TMemoryField::Mac).Descriptor),
      AddressDescriptor(FieldRow(TMemoryField::Address).Descriptor),
      ChannelDescriptor(FieldRow(TMemoryField::Channel).Descriptor),
      PanIdDescriptor(FieldRow(TMemoryField::PanId).Descriptor),
      TypeDescriptor(FieldRow(TMemoryField::Type).Descriptor), Messages(messages),
      IdTelnet1(std::move(client)) {
    Ui.SetupUi(this);
    ConnectSignals();
}

TForm1::~TForm1() {
    RunGuarded(Messages, [this] { FormDestroy(); });
    // The client goes while the log still stands, for the texts it reports on its way out.
    IdTelnet1.reset();
}

void TForm1::ConnectSignals() {
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { RunGuarded(Messages, [this, handler] { (this->*handler)(); }); };
    };
    connect(Ui.Button1, &QPushButton::clicked, this, guarded(&TForm1::Button1Click));
    connect(Ui.Button2, &QPushButton::clicked, this, guarded(&TForm1::Button2Click));
    connect(Ui.Button3, &QPushButton::clicked, this, guarded(&TForm1::Button3Click));
    connect(Ui.Button4, &QPushButton::clicked, this, guarded(&TForm1::Button4Click));
    connect(Ui.Memo1, &TLogView::KeyReleased, this, guarded(&TForm1::Memo1KeyUp));
    for (QLineEdit* field : {Ui.Edit4, Ui.Edit5, Ui.Edit6})
        field->installEventFilter(this);

    IdTelnet1->SetOnStatus([this](TObject* sender, TIdStatus status, const std::string& text) {
        IdTelnet1Status(sender, status, text);
    });
    // Left unguarded: the client hands what a chunk's handler raises back to its reader.
    IdTelnet1->SetOnDataAvailable(
        [this](const std::string& buffer) { IdTelnet1DataAvailable(buffer); });
}

void TForm1::Log(const std::string& text) {
    Ui.Memo1->AppendLine(FromCp1251(text));
}

void TForm1::Button1Click() {
    // A port that is no integer is the operator's to see in a box: not caught here.
    const int32_t port = StrToInt(ToCp1251(Ui.Edit1->text()));
    IdTelnet1->SetPort(port);
    IdTelnet1->SetHost(ToCp1251(Ui.Edit2->text()));
    try {
        IdTelnet1->Connect();
        // One connection per run.
        Ui.Button1->setEnabled(false);
    } catch (const EIdException& e) {
        Log(e.Message);
    }
}

void TForm1::IdTelnet1Status(TObject* axSender, TIdStatus axStatus,
                             const std::string& asStatusText) {
    (void)axSender;
    (void)axStatus;
    const QString text = FromCp1251(asStatusText);
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, text] { Ui.Memo1->AppendLine(text); }, Qt::QueuedConnection);
        return;
    }
    // Texts that another thread raised earlier may still wait in the queue;
    // they go first, so that the log keeps the order in which texts were raised.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    Ui.Memo1->AppendLine(text);
}

void TForm1::Memo1KeyUp() {
    IdTelnet1->TransmitChar('\r');
}

void TForm1::FormDestroy() {
    try {
        IdTelnet1->Disconnect();
    } catch (const EIdException&) {
        // Closing the window after the gateway has gone is no error.
    }
}
