// The updater's work: one worker thread that loads the server list, sends
// the game client's crash logs away, brings the installation folder in line
// with the mirrors and, when that worked, starts the next program.
#ifndef QUILL_UPDATE_APP_UPDATE_WORKER_H
#define QUILL_UPDATE_APP_UPDATE_WORKER_H

// The worker thread's body; it closes the updater's window when it is done.
void update_worker(void* unused);

// One update run. True when the local tree now matches the reference
// listing; g_client_parameters then holds the version text of that listing.
bool do_client_auto_update();

// The lamp's error colour and its idle colour twice in turn, 250 ms each.
void blink();

#endif
