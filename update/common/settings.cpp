#include "common/settings.h"

std::string g_root_path;
const std::string g_compressed_tree_name = "compressed";
std::vector<ftp_server_C> g_server_list;
ftp_server_C g_current_server;
int g_current_server_index;
bool g_last_connection_failed;
std::string g_client_parameters;
const std::string g_updater_exe_name = "QuillUpdate.exe";
std::string g_walk_pattern;
const std::string g_preferences_file_name = "pref_201274.txt";
const std::string g_server_list_file_name = "ver_C";
int g_preferences_value;
void (*g_server_list_loaded)() = nullptr;

namespace {

struct initial_values {
    initial_values() { reset_settings(); }
} g_initial_values;

} // namespace

void reset_settings() {
    g_root_path = "---";
    g_server_list.clear();
    g_current_server = ftp_server_C();
    g_current_server.Servername.clear();
    g_current_server.Directory = "---";
    g_current_server.strUser.clear();
    g_current_server.strPass.clear();
    g_current_server_index = -1;
    g_last_connection_failed = true;
    g_client_parameters = "UNSET";
    g_walk_pattern = "*.*";
    g_preferences_value = 0;
}
