// The preferences file "pref_201274.txt", written after each upload.
#ifndef QUILL_UPDATE_COMMON_PREFERENCES_H
#define QUILL_UPDATE_COMMON_PREFERENCES_H

class update_run_C;

// Writes the root path, a line feed, the preferences value and the end
// marker, with no line feed after it. False when the file cannot be opened.
bool save_preferences(update_run_C& run);

#endif
