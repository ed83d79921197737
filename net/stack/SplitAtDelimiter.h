// Cutting a text at the first occurrence of a delimiter.
#pragma once

#include <string>

// Returns the text before the first `delimiter` in `input` (all of it when the
// delimiter does not occur). With `deleteFromInput`, `input` loses that text
// and the delimiter (everything, when the delimiter does not occur). A plain
// byte search: the single-byte code page has no lead bytes.
std::string SplitAtDelimiter(std::string& input, const std::string& delimiter,
                             bool deleteFromInput = true);
