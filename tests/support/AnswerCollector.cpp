// Line assembly over chunked text and recognition of "> G MEM D data" answers.
#include "AnswerCollector.h"

#include "protocol/MemoryAnswer.h"

TAnswerCollector::TAnswerCollector(std::string gateway) : Gateway(std::move(gateway)) {}

void TAnswerCollector::Add(const std::string& received) {
    for (const char ch : received) {
        if (ch == '\r' || ch == '\n') {
            if (!Partial.empty()) TakeLine(Partial);
            Partial.clear();
        } else {
            Partial += ch;
        }
    }
}

void TAnswerCollector::TakeLine(const std::string& line) {
    const auto answer = RecogniseMemoryAnswer(TrimControls(line), Gateway);
    if (!answer) {
        ++OtherLines;
        return;
    }
    Answered.set(static_cast<size_t>(answer->Field));
}

void TAnswerCollector::Reset() {
    Partial.clear();
    Answered.reset();
    OtherLines = 0;
}
