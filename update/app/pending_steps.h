// Interim: the steps of the run that the updater's network and tree
// libraries will provide. Until they are in the build, the run reports
// failure, so nothing is deleted, fetched or started.
#ifndef QUILL_UPDATE_APP_PENDING_STEPS_H
#define QUILL_UPDATE_APP_PENDING_STEPS_H

bool process_crash_log_file();

#endif
