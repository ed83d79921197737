// bqctl's own wording for what CLI11 reports about a command line, and the
// nearest command or option for a word it did not take.
#pragma once

#include <string>
#include <vector>

// One line (without "bqctl: ") for a CLI11 parse error's message.
std::string UsageError(const std::string& cli11Message);
// The candidate nearest to `word` by edit distance, when it is at most 2
// edits away (and `word` is not one of them); empty otherwise.
std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates);
