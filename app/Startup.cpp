// Start-up of the window: the application, the reader's hand-over onto the
// GUI thread, the one window and the message loop.
#include "app/Startup.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <memory>
#include <system_error>
#include <thread>

#include "app/ExceptionDisplay.h"
#include "app/Form1.h"
#include "app/QtMessageBoxes.h"
#include "net/telnet/IdTelnet.h"
#include "runtime/Synchronize.h"
#include "runtime/Version.h"

namespace {

// The font configuration is read (its files and font caches) the first time a
// widget needs a font: several milliseconds that a thread of its own spends
// while the application connects to the display. Without that thread the
// first widget reads it as before.
std::jthread ReadFontConfiguration() {
    try {
        return std::jthread([] { FcInit(); });
    } catch (const std::system_error&) {
        return {};
    }
}

} // namespace

int RunApplication(int& argc, char* argv[], const std::function<void(TForm1&)>& shown) {
    std::jthread fonts = ReadFontConfiguration();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(ProductVersion()));
    // The desktop entry's name, so a Wayland shell matches the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.bqtest.bqtest"));
    // The installed icon, for window managers that show one in the title bar.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.bqtest.bqtest")));
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    TQtMessageBoxes messages;
    // Before the first widget: two threads reading the configuration at once
    // would both do the whole work.
    if (fonts.joinable()) fonts.join();

    // The reader thread queues its calls and wakes us; the GUI thread runs them.
    SetMainThread();
    SetWakeMainThread([&app, &messages] {
        QMetaObject::invokeMethod(
            &app, [&messages] { RunGuarded(messages, [] { CheckSynchronize(); }); },
            Qt::QueuedConnection);
    });

    RunGuarded(messages, [&messages, &shown] {
        TForm1 Form1(std::make_unique<TIdTelnet>(), messages);
        Form1.show();
        if (shown) QTimer::singleShot(0, &Form1, [&Form1, &shown] { shown(Form1); });
        QApplication::exec();
    });
    SetWakeMainThread(nullptr);
    return 0;
}
