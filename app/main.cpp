// Start-up of bqTest: the application, the synchronised-call pump of the GUI
// thread, and the one window.
#include <QApplication>
#include <memory>

#include "app/ExceptionDisplay.h"
#include "app/Form1.h"
#include "app/QtMessageBoxes.h"
#include "net/telnet/IdTelnet.h"
#include "runtime/Synchronize.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    TQtMessageBoxes messages;

    // The reader thread queues its calls and wakes us; the GUI thread runs them.
    SetMainThread();
    SetWakeMainThread([&app, &messages] {
        QMetaObject::invokeMethod(
            &app, [&messages] { RunGuarded(messages, [] { CheckSynchronize(); }); },
            Qt::QueuedConnection);
    });

    RunGuarded(messages, [&messages] {
        TForm1 Form1(std::make_unique<TIdTelnet>(), messages);
        Form1.show();
        QApplication::exec();
    });
    SetWakeMainThread(nullptr);
    return 0;
}
