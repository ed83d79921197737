// Recognises the gateway's five memory answers of one read in the received
// text, whatever the chunk boundaries: lines are cut at CR or LF and each
// complete line goes through the protocol's answer recogniser.
#pragma once

#include <bitset>
#include <string>

class TAnswerCollector {
public:
    explicit TAnswerCollector(std::string gateway);

    void Add(const std::string& received);
    // True once all five fields have been answered since the last Reset.
    bool Complete() const { return Answered.all(); }
    // Lines that were not one of the expected answers.
    int Unrecognised() const { return OtherLines; }
    void Reset();

private:
    void TakeLine(const std::string& line);

    std::string Gateway;
    std::string Partial;
    std::bitset<5> Answered;
    int OtherLines = 0;
};
