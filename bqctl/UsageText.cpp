// CLI11's messages in the project's words, and "did you mean".
#include "bqctl/UsageText.h"

#include <algorithm>
#include <numeric>

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string UsageError(const std::string& message) {
    // "--port: 1 required PORT missing"
    const size_t required = message.find(": 1 required ");
    if (required != std::string::npos && EndsWith(message, " missing")) {
        const size_t type = required + 13;
        return message.substr(0, required) + " needs a value (" +
               message.substr(type, message.size() - 8 - type) + ")";
    }
    // "--channel-number excludes --channel"
    const size_t excludes = message.find(" excludes ");
    if (excludes != std::string::npos)
        return "give " + message.substr(0, excludes) + " or " + message.substr(excludes + 10) +
               ", not both";
    // "Could not convert: --jobs = abc"
    const std::string convert = "Could not convert: ";
    const size_t equals = message.find(" = ");
    if (message.rfind(convert, 0) == 0 && equals != std::string::npos)
        return message.substr(convert.size(), equals - convert.size()) + " '" +
               message.substr(equals + 3) + "': a whole number expected";
    // "FILE is required"
    if (EndsWith(message, " is required"))
        return message.substr(0, message.size() - 12) + " is missing";
    std::string text = message;
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] + 32);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    size_t bestDistance = 3;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(word, candidate);
        if (distance == 0) return {};
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}
