// The two tokenizers that the listing parser and the server list share.
#ifndef QUILL_UPDATE_COMMON_TOKENIZER_H
#define QUILL_UPDATE_COMMON_TOKENIZER_H

#include <string>
#include <vector>

class update_run_C;

// Splits text at any of the delimiter characters and appends each token that
// holds at least one ASCII letter or digit, cut at its first carriage return.
// Tokens of punctuation only (a "--" ruler) are dropped.
class StringTokenizer {
public:
    StringTokenizer(update_run_C& run, const std::string& text, std::vector<std::string>& out,
                    const std::string& delimiters);
};

// StringTokenizer with blank, comma and line feed as delimiters. False for a
// null text. capacity is what callers expect to fit; the list grows as
// needed, so it is not used.
bool tokenize(update_run_C& run, const char* text, int capacity, std::vector<std::string>& out);

#endif
