#include "ui_launcher_aids.h"

#include <stdio.h>
#include <stdlib.h>

namespace qp {

long launcher_test_delay(const char* name) {
    const char* text = getenv(name);
    if (!text || !*text)
        return -1;
    char* end = nullptr;
    const long value = strtol(text, &end, 10);
    return (*end == '\0' && value >= 0) ? value : -1;
}

std::vector<std::pair<int, int>> launcher_test_clicks() {
    std::vector<std::pair<int, int>> clicks;
    const char* text = getenv("QUILL_TEST_LAUNCHER_CLICKS");
    if (!text)
        return clicks;
    int x, y, used;
    while (sscanf(text, "%d,%d%n", &x, &y, &used) == 2) {
        clicks.emplace_back(x, y);
        text += used;
        if (*text != ';')
            break;
        ++text;
    }
    return clicks;
}

} // namespace qp
