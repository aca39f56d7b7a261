// Arbitrary text and delimiters for the two tokenizers. The first byte tells
// how many of the following bytes are delimiters; the rest is the text.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/tokenizer.h"

namespace {

bool has_letter_or_digit(const std::string& text) {
    for (char c : text)
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return true;
    return false;
}

// Every token is a piece of the text without delimiter or carriage return,
// and the pieces together are no longer than the text.
void check_tokens(const std::string& text, const std::string& delimiters,
                  const std::vector<std::string>& tokens) {
    size_t total = 0;
    for (const std::string& token : tokens) {
        if (token.find('\r') != std::string::npos)
            __builtin_trap();
        if (!delimiters.empty() && token.find_first_of(delimiters) != std::string::npos)
            __builtin_trap();
        if (text.find(token) == std::string::npos)
            __builtin_trap();
        total += token.size();
    }
    if (total > text.size())
        __builtin_trap();
    // Text that holds no letter or digit gives no token at all.
    if (!has_letter_or_digit(text) && !tokens.empty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static discarding_front_end_C quiet;
    static bool quiet_set = false;
    if (!quiet_set) {
        set_front_end(&quiet);
        quiet_set = true;
    }
    if (size == 0)
        return 0;
    size_t delimiter_count = data[0];
    if (delimiter_count > size - 1)
        delimiter_count = size - 1;
    const std::string delimiters(reinterpret_cast<const char*>(data + 1), delimiter_count);
    const std::string text(reinterpret_cast<const char*>(data + 1 + delimiter_count),
                           size - 1 - delimiter_count);

    std::vector<std::string> tokens;
    StringTokenizer(text, tokens, delimiters);
    check_tokens(text, delimiters, tokens);

    // tokenize reads a C string: the text up to its first zero byte.
    std::vector<std::string> words;
    if (!tokenize(text.c_str(), 0, words))
        __builtin_trap();
    check_tokens(std::string(text.c_str()), " ,\n", words);

    std::vector<std::string> none;
    if (tokenize(nullptr, 0, none) || !none.empty())
        __builtin_trap();
    return 0;
}
