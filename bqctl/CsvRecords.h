// Records of a CSV text as RFC 4180 and spreadsheets write them: quoted
// fields with "" for a quote and line breaks inside, CR LF or LF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TCsvRecord {
    int Line = 0; // where the record starts, from 1
    std::vector<std::string> Fields;
};

class TCsvRecords {
public:
    // Lines whose first character other than blanks is '#' are comments.
    TCsvRecords(std::string_view text, char separator) : Text(text), Separator(separator) {}

    // The next record; false at the end of the text or on malformed quoting
    // (Error then names the line). Unquoted fields lose their surrounding
    // blanks, quoted ones keep what is between the quotes.
    bool Next(TCsvRecord& record);
    const std::string& Error() const { return Problem; }

private:
    bool AtBreak() const;
    void SkipBlanks();
    void SkipComments();
    bool TakeQuoted(std::string& field);
    void TakePlain(std::string& field);

    std::string_view Text;
    char Separator;
    size_t Position = 0;
    int Line = 1;
    std::string Problem;
};
