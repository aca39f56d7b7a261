// The MD5 message digest (RFC 1321), and the digest of a file of the local
// tree as the listings write it: 32 lower-case hexadecimal digits.
#ifndef QUILL_UPDATE_COMMON_MD5_C_H
#define QUILL_UPDATE_COMMON_MD5_C_H

#include <stddef.h>
#include <stdint.h>

#include <string>

class update_run_C;

class md5_C {
public:
    md5_C() { init(); }

    // Starts a new digest.
    void init();
    // Adds size bytes of the message.
    void update(const void* data, size_t size);
    // Ends the message and writes the 16 digest bytes; init() starts over.
    void finish(unsigned char digest[16]);

    // Appends the hex digest of root\name to out. False, appending nothing,
    // when the file cannot be opened or read. An empty name runs the
    // self-test on the messages of RFC 1321 instead, showing each outcome in
    // a message box; false at the first failure.
    bool doit(update_run_C& run, const std::string& root, const std::string& name,
              std::string& out);

    // The 32 lower-case hex digits of a digest.
    static std::string hex(const unsigned char digest[16]);
    // The same for the digest of a whole message.
    static std::string hex_of(const std::string& message);

private:
    void transform(const unsigned char block[64]);
    bool self_test(update_run_C& run);

    uint32_t state_[4];
    uint64_t length_;           // message bytes so far
    unsigned char pending_[64]; // bytes of an unfinished block
};

#endif
