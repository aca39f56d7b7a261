// The test aids of the launcher's window, read alike by every backend.
#ifndef QUILL_PLATFORM_COMMON_UI_LAUNCHER_AIDS_H
#define QUILL_PLATFORM_COMMON_UI_LAUNCHER_AIDS_H

#include <utility>
#include <vector>

namespace qp {

// Milliseconds from an environment variable; -1 when it is unset, empty or
// not a whole number.
long launcher_test_delay(const char* name);

// The client points of QUILL_TEST_LAUNCHER_CLICKS ("x,y;x,y;..."), up to
// the first one that does not read as a point; none when it is unset.
std::vector<std::pair<int, int>> launcher_test_clicks();

} // namespace qp

#endif
