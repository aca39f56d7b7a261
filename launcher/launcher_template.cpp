#include "launcher_template.h"

#include "launcher_logic.h"

#ifdef QUILL_LAUNCHER_ARTWORK_TABLE
#include "launcher_artwork.h"
#endif

namespace {

// The pixels that template 102 of QuillLauncher.rc (283 by 274 dialog units
// in 9-point 굴림) gives: the picture, the page's place inside it and the
// button strip directly below. Keep the order of the resource script.
const qp::launcher_control kControls[] = {
    {0, qp::launcher_control::bitmap_control, 0, 0, 496, 352, IDB_BACKGROUND},
    {IDC_BROWSER_PLACEHOLDER, qp::launcher_control::placeholder_control, 21, 156, 450, 186, 0},
    {IDC_BUTTON_STRIP, qp::launcher_control::bitmap_control, 0, 352, 496, 60, IDB_STRIP_NORMAL},
};

} // namespace

const qp::launcher_template g_launcher_template = {
    IDD_QUILLLAUNCHER_DIALOG,
    496,
    412,
    kControls,
    sizeof kControls / sizeof kControls[0],
#ifdef QUILL_LAUNCHER_ARTWORK_TABLE
    g_launcher_artwork,
    g_launcher_artwork_count,
#else
    nullptr,
    0,
#endif
};
