// Recognition of the gateway's answers to memory reads:
// "> G MEM D " followed by the data bytes, at fixed positions.
#pragma once

#include <optional>
#include <string>

#include "protocol/MemoryFields.h"
#include "runtime/TrimControls.h" // the trim rule its callers apply first

struct TMemoryAnswer {
    TMemoryField Field; // which field the answer fills
    std::string Text;   // the value as the field shows it (decoded data)
};

// Given a trimmed chunk: the decoded answer when its first 11 characters equal
// "> " + gateway + " MEM " (upper-cased) and positions 12..22 hold one of the
// descriptors of the field table, with the field's data in full; otherwise nothing.
std::optional<TMemoryAnswer> RecogniseMemoryAnswer(const std::string& trimmed,
                                                   const std::string& gateway);
