// Splitting of a CSV text into records and fields.
#include "bqctl/CsvRecords.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool TCsvRecords::AtBreak() const {
    return Position < Text.size() && (Text[Position] == '\r' || Text[Position] == '\n');
}

void TCsvRecords::SkipBlanks() {
    while (Position < Text.size() && IsBlank(Text[Position]))
        ++Position;
}

void TCsvRecords::SkipComments() {
    while (Position < Text.size()) {
        size_t first = Position;
        while (first < Text.size() && IsBlank(Text[first]))
            ++first;
        if (first == Text.size() || Text[first] != '#') return;
        const size_t end = Text.find('\n', first);
        Position = end == std::string_view::npos ? Text.size() : end + 1;
        ++Line;
    }
}

// After the opening quote: up to the closing one, "" standing for one quote.
bool TCsvRecords::TakeQuoted(std::string& field) {
    const int opened = Line;
    for (;;) {
        if (Position == Text.size()) {
            Problem = "line " + std::to_string(opened) + ": a quoted field is not closed";
            return false;
        }
        const char c = Text[Position++];
        if (c == '"') {
            if (Position == Text.size() || Text[Position] != '"') break;
            ++Position;
        } else if (c == '\n') {
            ++Line;
        }
        field += c;
    }
    SkipBlanks();
    if (Position < Text.size() && Text[Position] != Separator && !AtBreak()) {
        Problem = "line " + std::to_string(Line) + ": text after the closing quote of a field";
        return false;
    }
    return true;
}

void TCsvRecords::TakePlain(std::string& field) {
    const size_t start = Position;
    while (Position < Text.size() && Text[Position] != Separator && !AtBreak())
        ++Position;
    size_t end = Position;
    while (end > start && IsBlank(Text[end - 1]))
        --end;
    field.assign(Text.substr(start, end - start));
}

bool TCsvRecords::Next(TCsvRecord& record) {
    record.Fields.clear();
    if (!Problem.empty()) return false;
    SkipComments();
    if (Position == Text.size()) return false;
    record.Line = Line;
    for (;;) {
        std::string field;
        SkipBlanks();
        if (Position < Text.size() && Text[Position] == '"') {
            ++Position;
            if (!TakeQuoted(field)) return false;
        } else {
            TakePlain(field);
        }
        record.Fields.push_back(std::move(field));
        if (Position < Text.size() && Text[Position] == Separator) {
            ++Position;
            continue;
        }
        // CR LF, LF, a lone CR or the end of the text ends the record.
        if (Position < Text.size() && Text[Position] == '\r') ++Position;
        if (Position < Text.size() && Text[Position] == '\n') ++Position;
        ++Line;
        return true;
    }
}
