// The server list "ver_C": the FTP mirrors the updater may use, kept
// enciphered in the installation folder.
#ifndef QUILL_UPDATE_COMMON_SERVER_LIST_H
#define QUILL_UPDATE_COMMON_SERVER_LIST_H

#include <stddef.h>

#include <string>
#include <vector>

class update_run_C;

// The loader reads and deciphers this many bytes, whatever the file's size.
const size_t server_list_buffer_size = 4096;

// Byte i becomes byte i minus (or plus) key[i mod 88], modulo 256. The
// updater and the tool that writes the list share this one table.
void decipher_server_list(unsigned char* data, size_t size);
void encipher_server_list(unsigned char* data, size_t size);

// The tokens of deciphered text: runs of bytes between blanks, tabs,
// carriage returns and line feeds, each cut at its first zero byte; empty
// tokens are dropped.
std::vector<std::string> server_list_tokens(const unsigned char* plain, size_t size);

// The server count a token states: its leading decimal digits, 0 when it
// has none. Counts too large for any list come out as a large value, never
// as an overflow.
long server_count_of(const std::string& token);

// Checks a plain server list against the loader's rules and enciphers it,
// padded to the loader's buffer size so that the tail deciphers to blanks.
// False, with the reason, for a list the loader would refuse or misread.
bool encipher_server_list_text(const std::string& plain, std::string& enciphered,
                               std::string& reason);
// Deciphers a server list file's bytes (at most the loader's buffer size
// count) and returns the text without the blanks of its padding.
std::string decipher_server_list_text(const std::string& enciphered);

// Reads "ver_C" from the working directory and appends its mirrors to
// the run's server_list. False, with the reason in the trace log, when the file is
// missing or malformed.
bool load_server_list(update_run_C& run);

#endif
