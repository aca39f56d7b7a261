// The updater's process-wide settings, set before the dialog opens and read
// by every step. Plain globals: one worker thread uses them, nothing locks.
#ifndef QUILL_UPDATE_COMMON_SETTINGS_H
#define QUILL_UPDATE_COMMON_SETTINGS_H

#include <string>
#include <vector>

#include "common/guard_zone_C.h"

// One mirror of the server list.
class ftp_server_C {
public:
    std::string Servername = "UNSET"; // host, or host:port
    std::string Directory = "UNSET";  // remote folder of the reference tree
    std::string strUser = "UNSET";
    std::string strPass = "UNSET";

private:
    guard_zone_C guard_;
};

// Root of the local tree: the working directory without a trailing backslash.
extern std::string g_root_path;
// Named only in a failure message of the local listing.
extern const std::string g_compressed_tree_name;
// The mirrors of "ver_C", in file order.
extern std::vector<ftp_server_C> g_server_list;
// Copy of the chosen mirror and its index in g_server_list (-1: none yet).
extern ftp_server_C g_current_server;
extern int g_current_server_index;
// Set by a failed connection: the next choice draws another mirror.
extern bool g_last_connection_failed;
// Command line given to the game client.
extern std::string g_client_parameters;
extern const std::string g_updater_exe_name;
// The file pattern of the tree walk; the crash recovery narrows it.
extern std::string g_walk_pattern;
extern const std::string g_preferences_file_name;
extern const std::string g_server_list_file_name;
// The number written into the preferences file; nothing changes it.
extern int g_preferences_value;

// Called once a server list has loaded; the mirror chooser hooks in here.
extern void (*g_server_list_loaded)();

// Puts every setting back to its initial value.
void reset_settings();

#endif
