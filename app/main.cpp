// Start-up of bqTest: the application, the synchronised-call pump of the GUI
// thread, and the one window.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <memory>
#include <string_view>

#include "app/ExceptionDisplay.h"
#include "app/Form1.h"
#include "app/QtMessageBoxes.h"
#include "net/telnet/IdTelnet.h"
#include "runtime/Synchronize.h"
#include "runtime/Version.h"

namespace {

constexpr const char* UsageText =
    "Usage: bqTest [Qt options]\n"
    "\n"
    "Opens the window that reads, writes and resets the devices of a gateway\n"
    "over Telnet. Qt's own options (-platform, -style, ...) are accepted.\n"
    "\n"
    "  --help     show this text\n"
    "  --version  print \"bqTest VERSION\"\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the application exists, so they need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--version") {
            std::printf("bqTest %s\n", ProductVersion());
            return 0;
        }
        if (option == "--help") {
            std::fputs(UsageText, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(ProductVersion()));
    // The desktop entry's name, so a Wayland shell matches the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.bqtest.bqtest"));
    // The installed icon, for window managers that show one in the title bar.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.bqtest.bqtest")));
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
