// What the fuzz targets of the updater's readers share: a run that shows
// nothing and logs nowhere, and the input as the file a reader takes.
#ifndef QUILL_FUZZ_READER_INPUT_H
#define QUILL_FUZZ_READER_INPUT_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "common/front_end_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

// One for the whole fuzzing process: nothing in it carries over that a
// reader's outcome depends on.
inline update_run_C& quiet_run() {
    static own_run_C<discarding_front_end_C> quiet;
    return quiet.run;
}

// False when the file cannot be written.
inline bool write_input_file(const char* name, const uint8_t* data, size_t size) {
    return qp::write_whole_file(name, std::string(reinterpret_cast<const char*>(data), size));
}

#endif
