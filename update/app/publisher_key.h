// The public key of the publisher whose signed mirrors this updater takes:
// 128 hex digits (the point's X then Y), or "" for a build that takes any
// mirror, signed or not, as updaters always have.
#ifndef QUILL_UPDATE_APP_PUBLISHER_KEY_H
#define QUILL_UPDATE_APP_PUBLISHER_KEY_H

extern const char* const built_in_publisher_key;

#endif
