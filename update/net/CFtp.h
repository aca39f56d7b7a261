// The updater's FTP client. Each transfer uses a fresh object: it connects
// (to the mirror in use, or to a new one drawn at random), moves one file and
// lets go of its handles when it goes away. A connection that worked is put
// aside then, and the next object connecting to the same server, account and
// folder takes it over instead of logging on again.
#ifndef QUILL_UPDATE_NET_CFTP_H
#define QUILL_UPDATE_NET_CFTP_H

#include <string>

#include "quill/platform/ftp.h"

class update_run_C;

// Bytes moved per read of a download; the download bar steps once per piece.
const unsigned download_piece_size = 512;

class CFtp {
public:
    explicit CFtp(update_run_C& run);
    ~CFtp();
    CFtp(const CFtp&) = delete;
    CFtp& operator=(const CFtp&) = delete;

    // Keeps the account for OpenConnection_named unless already connected.
    bool set_rights(const std::string& user, const std::string& password);

    // Connects anonymously to server ("host" or "host:port") and changes into
    // directory. 1 on success (or when already connected), 0 on failure.
    int OpenConnection(const std::string& server, const std::string& directory);
    // The same, logging on with the account given to set_rights.
    int OpenConnection_named(const std::string& server, const std::string& directory);

    // Connects to the mirror in use or, after a failure, to one drawn at
    // random, trying up to 10 times the number of mirrors.
    bool connect_to_random_server();

    // Downloads remote_name (relative to the mirror's folder, '/' between
    // folders) to local_path, switching mirrors when the file cannot be
    // opened or its transfer breaks off (a read fails, or the byte count
    // differs from the size the reference listing states). False when no
    // mirror delivered the whole file; no local file is left behind then.
    bool GetFtpFile_unsafe_clever(const std::string& remote_name, const std::string& local_path);

    // Uploads local_path as remote_name into directory on server, logging on
    // with user and password. Writes the preferences file on success.
    bool PutFtpFile(const std::string& user, const std::string& password,
                    const std::string& server, const std::string& directory,
                    const std::string& local_path, const std::string& remote_name);

    // The remote folder of the current mirror as its server prints it, or
    // "FAILED" when it does not answer.
    bool get_remote_current_dir(std::string& out);

    // Closes the connection (and its agent) for good: it is not kept for
    // the next object. The object may connect again.
    void CloseConnection();

    bool is_connected() const { return connected_ != 0; }
    // True when the last connection attempt failed.
    bool last_open_failed() const { return last_open_failed_ != 0; }

private:
    int open_connection(const char* caller, const std::string& server,
                        const std::string& directory, bool named);
    enum transfer_outcome_C { transfer_complete, transfer_broken, transfer_local_failure };
    // Copies the remote file to local, counting the bytes received.
    transfer_outcome_C read_remote_file(qp::FtpRemoteFile* remote, FILE* local,
                                        long long& received);

    update_run_C& run_;
    int connected_ = 0;
    // What the connection was opened for, to keep it under.
    std::string server_;
    std::string directory_;
    bool named_ = false;
    std::string user_;
    std::string password_;
    unsigned char last_open_failed_ = 0;
    qp::FtpAgent* agent_ = nullptr;
    qp::FtpConnection* connection_ = nullptr;
};

// The unit count of the download bar for a file of size bytes: one per
// started piece of 512 bytes.
int download_bar_units(long size);
// How often a transfer may change mirrors before it gives up: 10 for each
// mirror of the server list.
int transfer_laps(update_run_C& run);

#endif
