// Modal boxes titled with the application's name ("bqTest").
#include "app/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

void TQtMessageBoxes::ShowException(const QString& message) {
    ShowBox(QMessageBox::Critical, message);
}

void TQtMessageBoxes::ShowMessage(const QString& text) {
    ShowBox(QMessageBox::NoIcon, text);
}
