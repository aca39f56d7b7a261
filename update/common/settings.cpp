#include "common/settings.h"

const std::string g_compressed_tree_name = "compressed";
const std::string g_updater_exe_name = "QuillUpdate.exe";
const std::string g_preferences_file_name = "pref_201274.txt";
const std::string g_server_list_file_name = "ver_C";
