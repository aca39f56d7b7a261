#include "common/tokenizer.h"

#include <exception>

#include "common/logger_C.h"
#include "common/update_run_C.h"

namespace {

bool is_ascii_letter_or_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

StringTokenizer::StringTokenizer(update_run_C& run, const std::string& text,
                                 std::vector<std::string>& out, const std::string& delimiters) {
    try {
        size_t start = text.find_first_not_of(delimiters);
        while (start != std::string::npos) {
            size_t end = text.find_first_of(delimiters, start);
            if (end == std::string::npos)
                end = text.size();
            bool keep = false;
            for (size_t i = start; i < end && !keep; ++i)
                keep = is_ascii_letter_or_digit(text[i]);
            if (keep) {
                const size_t cr = text.find('\r', start);
                out.push_back(text.substr(start, (cr < end ? cr : end) - start));
            }
            start = text.find_first_not_of(delimiters, end);
        }
    } catch (const std::exception&) {
        run.log.log_line("StringTokenizer::StringTokenizer  [EXCEPTION CACTCHED]");
    }
}

bool tokenize(update_run_C& run, const char* text, int capacity, std::vector<std::string>& out) {
    (void)capacity;
    if (!text) {
        run.log.log_line("tokenize  [NULL POINTER ENCOUNTERED]");
        return false;
    }
    StringTokenizer(run, text, out, " ,\n");
    return true;
}
