// Cutting received text after its line ends.
#include "net/telnet/ReceivedLines.h"

std::vector<std::string> SplitAfterLineEnds(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const bool lineEnd = text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'));
        if (!lineEnd) continue;
        pieces.push_back(text.substr(start, at + 1 - start));
        start = at + 1;
    }
    if (start < text.size() || pieces.empty()) pieces.push_back(text.substr(start));
    return pieces;
}
