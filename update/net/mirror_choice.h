// The mirror a transfer uses: the one the run's server manager draws, made
// the current server, and the server list loaded with the first draw ready.
#ifndef QUILL_UPDATE_NET_MIRROR_CHOICE_H
#define QUILL_UPDATE_NET_MIRROR_CHOICE_H

class update_run_C;

// Makes the mirror drawn by the run's manager the current server.
bool choose_randomly_FTP_server(update_run_C& run);

// Loads the server list and draws the chooser's first shake from it, so
// that the chooser is ready before the first transfer. False, with nothing
// drawn, when load_server_list fails.
bool load_mirror_list(update_run_C& run);

#endif
