// Replacing the updater's executable by the one the updater downloaded.
#ifndef QUILL_BOOTSTRAP_DO_CLIENT_UPDATE_UPDATE_H
#define QUILL_BOOTSTRAP_DO_CLIENT_UPDATE_UPDATE_H

class update_run_C;

// The files of the swap, in the current directory.
extern const char* const g_updater_name;     // "QuillUpdate.exe"
extern const char* const g_new_updater_name; // "QuillNewUpdate.exe"

// Set once the two executables were found to differ and the replacement
// began; false at start. Decides what the window shows at the end.
extern bool g_replacement_begun;

// Puts "QuillNewUpdate.exe" in the place of "QuillUpdate.exe" when their MD5
// digests differ: up to 500 tries to delete the old one, 10 ms apart, then
// up to 50 tries to copy the new one, 10 ms apart. "QuillNewUpdate.exe"
// stays. True when there was nothing to replace or the replacement
// succeeded; false when it failed (after a failed copy the old updater is
// gone). Digests are of files below the run's root path.
bool do_client_update_update(update_run_C& run);

#endif
