// UTF-8, the text of the window model, and UTF-16, the text of the Windows API.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
