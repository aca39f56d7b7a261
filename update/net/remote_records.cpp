#include "net/remote_records.h"

record_map_C g_remote_file_records;
int g_file_count = 0;
int g_file_current = 0;
