// The window's edge between Qt's Unicode texts and the 8-bit Windows-1251
// texts that everything below the window, the wire included, works in.
#pragma once

#include <QString>
#include <string>

QString FromCp1251(const std::string& bytes);
// A character that Windows-1251 lacks becomes the substitute byte 0x1A.
std::string ToCp1251(const QString& text);
