// Saves a picture of the main window as it first opens, for the README:
// bqWindowScreenshot <file.png>. Renders off screen; needs no display.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <memory>

#include "app/Form1.h"
#include "app/QtMessageBoxes.h"
#include "net/telnet/IdTelnet.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bqTest"));
    TQtMessageBoxes messages;
    TForm1 form(std::make_unique<TIdTelnet>(), messages);
    form.show();
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
