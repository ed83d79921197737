// Windows-1251 through Qt's ICU-backed string converters.
#include "app/Cp1251.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char* CodePage = "windows-1251";
}

QString FromCp1251(const std::string& bytes) {
    QStringDecoder decoder(CodePage);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToCp1251(const QString& text) {
    QStringEncoder encoder(CodePage);
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
