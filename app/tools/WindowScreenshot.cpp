// Saves a picture of the main window for the README. Renders off screen;
// needs no display.
//   bqWindowScreenshot <file.png>                   the window as it first opens
//   bqWindowScreenshot --read <port> <file.png>     after Connect and "Считать"
//                                                   against a gateway on 127.0.0.1
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/Form1.h"
#include "app/QtMessageBoxes.h"
#include "net/telnet/IdTelnet.h"
#include "runtime/Synchronize.h"

namespace {

bool AllFieldsFilled(const TForm1& form) {
    for (const TControl field :
         {TControl::Edit3, TControl::Edit4, TControl::Edit5, TControl::Edit6, TControl::Edit7}) {
        if (!form.Ui.Control(field)->isEnabled()) return false;
    }
    return true;
}

// Connects to the gateway, presses "Считать" and serves the reader until the
// five answers have filled their fields, or ten seconds have passed.
bool ReadFromGateway(TForm1& form, const char* port) {
    form.Ui.Edit(TControl::Edit2)->setText(QStringLiteral("127.0.0.1"));
    form.Ui.Edit(TControl::Edit1)->setText(QString::fromLatin1(port));
    form.Ui.Button(TControl::Button1)->click();
    if (form.Ui.Button(TControl::Button1)->isEnabled())
        return false; // the connect failed; the log says why
    form.Ui.Button(TControl::Button2)->click();
    const QDeadlineTimer deadline(10000);
    while (!AllFieldsFilled(form) && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        CheckSynchronize();
    }
    return AllFieldsFilled(form);
}

} // namespace

int main(int argc, char* argv[]) {
    const bool read = argc == 4 && std::strcmp(argv[1], "--read") == 0;
    if (argc != 2 && !read) {
        std::fprintf(stderr, "usage: %s [--read <port>] <file.png>\n", argv[0]);
        return 2;
    }
    const char* file = argv[argc - 1];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    SetMainThread();
    TQtMessageBoxes messages;
    TForm1 form(std::make_unique<TIdTelnet>(), messages);
    form.show();
    QApplication::processEvents();
    if (read && !ReadFromGateway(form, argv[2])) {
        std::fprintf(stderr, "the gateway on 127.0.0.1:%s did not fill the five fields\n", argv[2]);
        return 1;
    }
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(file))) {
        std::fprintf(stderr, "cannot write %s\n", file);
        return 1;
    }
    return 0;
}
