// The updater's fixed names and the record of one mirror. What a run
// chooses and changes lives in its update_run_C.
#ifndef QUILL_UPDATE_COMMON_SETTINGS_H
#define QUILL_UPDATE_COMMON_SETTINGS_H

#include <string>

#include "common/guard_zone_C.h"

class update_run_C;

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

// Named only in a failure message of the local listing.
extern const std::string g_compressed_tree_name;
extern const std::string g_updater_exe_name;
extern const std::string g_preferences_file_name;
extern const std::string g_server_list_file_name;

#endif
