// Arbitrary text and delimiters for the two tokenizers. The first byte tells
// how many of the following bytes are delimiters; the rest is the text.
// The tokens must be exactly those the rule gives, in order.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/tokenizer.h"
#include "reader_input.h"

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

// The tokens as the rule states them, piece by piece: a piece between
// delimiters that holds a letter or digit, cut at its first carriage return.
std::vector<std::string> expected_tokens(const std::string& text, const std::string& delimiters) {
    std::vector<std::string> tokens;
    std::string piece;
    auto finish = [&] {
        if (has_letter_or_digit(piece))
            tokens.push_back(piece.substr(0, piece.find('\r')));
        piece.clear();
    };
    for (char c : text) {
        if (delimiters.find(c) != std::string::npos)
            finish();
        else
            piece += c;
    }
    finish();
    return tokens;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    update_run_C& run = quiet_run();
    if (size == 0)
        return 0;
    size_t delimiter_count = data[0];
    if (delimiter_count > size - 1)
        delimiter_count = size - 1;
    const std::string delimiters(reinterpret_cast<const char*>(data + 1), delimiter_count);
    const std::string text(reinterpret_cast<const char*>(data + 1 + delimiter_count),
                           size - 1 - delimiter_count);

    std::vector<std::string> tokens;
    StringTokenizer(run, text, tokens, delimiters);
    check_tokens(text, delimiters, tokens);
    // No token lost, none made up, none out of order.
    if (tokens != expected_tokens(text, delimiters))
        __builtin_trap();

    // tokenize reads a C string: the text up to its first zero byte.
    std::vector<std::string> words;
    if (!tokenize(run, text.c_str(), 0, words))
        __builtin_trap();
    check_tokens(std::string(text.c_str()), " ,\n", words);
    if (words != expected_tokens(std::string(text.c_str()), " ,\n"))
        __builtin_trap();

    std::vector<std::string> none;
    if (tokenize(run, nullptr, 0, none) || !none.empty())
        __builtin_trap();
    return 0;
}
