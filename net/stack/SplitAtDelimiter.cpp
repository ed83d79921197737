// Cutting a text at the first occurrence of a delimiter.
#include "net/stack/SplitAtDelimiter.h"

std::string SplitAtDelimiter(std::string& input, const std::string& delimiter,
                             bool deleteFromInput) {
    const size_t position = delimiter.empty() ? std::string::npos : input.find(delimiter);
    if (position == std::string::npos) {
        std::string whole = input;
        if (deleteFromInput) input.clear();
        return whole;
    }
    std::string head = input.substr(0, position);
    if (deleteFromInput) input.erase(0, position + delimiter.size());
    return head;
}
