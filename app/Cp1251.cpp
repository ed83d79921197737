// Windows-1251 through the runtime's converter, which the window model uses too.
#include "app/Cp1251.h"

#include "runtime/Cp1251.h"

QString FromCp1251(const std::string& bytes) {
    return QString::fromStdString(Cp1251ToUtf8(bytes));
}

std::string ToCp1251(const QString& text) {
    return Utf8ToCp1251(text.toStdString());
}
