// The updater's work: one worker thread that loads the server list, sends
// the game client's crash logs away, brings the installation folder in line
// with the mirrors and, when that worked, starts the next program.
#ifndef QUILL_UPDATE_APP_UPDATE_WORKER_H
#define QUILL_UPDATE_APP_UPDATE_WORKER_H

class update_run_C;

// The worker thread's body, given the qp::updater_window the run is shown in
// (null when it is shown as text); it makes the run, with its trace log
// "report.txt", and closes that window when it is done.
void update_worker(void* window);

// One update run. True when the local tree now matches the reference
// listing; run.client_parameters then holds the version text of that listing.
bool do_client_auto_update(update_run_C& run);

// From now on every mirror must be signed by the publisher of this key (128
// hex digits); "" leaves the updater taking any mirror. A key that cannot
// be read is kept as one that nothing verifies against, so that such a
// build refuses every mirror rather than trusting all.
void require_publisher_signatures(const char* public_key_hex);

// The lamp's error colour and its idle colour twice in turn, 250 ms each.
void blink(update_run_C& run);

#endif
