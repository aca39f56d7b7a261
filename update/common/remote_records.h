// What the reference listing says about each entry. The listing parser
// fills a run's records; the download progress reads them.
#ifndef QUILL_UPDATE_COMMON_REMOTE_RECORDS_H
#define QUILL_UPDATE_COMMON_REMOTE_RECORDS_H

#include <stdint.h>

#include <map>
#include <string>

// Size of a file whose listing did not state one.
const int32_t unknown_file_size = 747400;

class file_record_C {
public:
    std::string name = "UNSET";
    unsigned char directory = 0;
    int32_t size = unknown_file_size; // bytes of the compressed file; -1: folder
};

// Listing entry name -> its record.
typedef std::map<std::string, file_record_C> record_map_C;

#endif
