// One update run: recover from an interrupted run, choose a mirror, decide
// from the versions whether anything is to be done, fetch the reference
// listing, and make the local tree equal to it.
#include "app/update_worker.h"

#include <string>

#include "net/remote_records.h"
#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/parcours.h"
#include "common/placed_files_C.h"
#include "common/settings.h"
#include "common/uncompress.h"
#include "net/recovery.h"
#include "net/server_manager_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "tree/equalize.h"
#include "tree/ls_txt.h"
#include "tree/mirror_trust.h"
#include "tree/remote_listing.h"

namespace {

void status(const char* text) {
    front_end().set_status_text(text);
}

void log(const char* text) {
    process_log().log_line(text);
}

// The reference listing arrived compressed: make it "ls_remote.txt".
bool take_compressed_listing() {
    log("do_client_auto_update  [THE FILE ls_compressed.txt.gz WAS RETRIEVED SUCCESFULLY]");
    if (!uncompress_it("ls_compressed.txt.gz")) {
        log("do_client_auto_update   [FAILED TO UNCOMPRESS THE FILE ls_compressed.txt.gz]");
        return false;
    }
    log("do_client_auto_update  [THE FILE ls_compressed.txt.gz WAS UNCOMPRESSED SUCESFULLY]");
    if (local_file_exists("ls_remote.txt")) {
        if (!delete_one_local_file("ls_remote.txt")) {
            log("do_client_auto_update  [CANT DELETE THE FILE ls_remote.txt]");
            return false;
        }
        log("do_client_auto_update  [THE FILE ls_remote.txt WAS DELETED SUCCESFULLY]");
    }
    if (!rename_local_file("ls_compressed.txt", "ls_remote.txt")) {
        log("do_client_auto_update  [FAILED TO MOVE ls_compressed.txt -> ls_remote.txt]");
        return false;
    }
    log("do_client_auto_update  [MOVED ls_compressed.txt -> ls_remote.txt SUCCESFULLY]");
    log("do_client_auto_update  [HEUM..SEEMS THE ls_remote.txt WAS ALREADY RETRIEVED via the "
        "ls_compressed.txt.gz FILE]");
    return true;
}

// The reference listing into "ls_remote.txt": compressed first, the plain
// one when the mirror was reached but had no compressed listing.
bool fetch_reference_listing() {
    bool connection_failed = false;
    if (get_remote_compressed_ls_txt_file(connection_failed))
        return take_compressed_listing();

    log("do_client_auto_update  [-- UNABLE TO RETRIEVE THE ls_compressed.txt.gz FILE --]");
    if (connection_failed) {
        log("do_client_auto_update  [the cause is : CONNECTION FAILURE]");
        return false;
    }
    log("do_client_auto_update  [HEUM..SEEMS WE HAVEN'T BEEN ABBLE TO GET THE "
        "ls_compressed.txt.gz FILE]");
    log("do_client_auto_update  [about to retrieve the remote ls.txt]");
    status("about to retrieve remote ls.txt...");
    if (!get_remote_ls_txt_file_CLEVER(connection_failed)) {
        log("do_client_auto_update  [REMOTE ls.txt FILE WAS NOT FOUND]");
        status("about to retrieve remote ls.txt...[FAILED]");
        log("do_client_auto_update  [CAN'T PROCEED WITHOUT ls.txt]");
        return false;
    }
    return true;
}

// The record of what the updater may delete. An installation without one
// takes it from the listing of its last successful run.
void load_placed_files(placed_files_C& placed) {
    if (placed.load() || !qp::path_exists("ls_static.txt"))
        return;
    name_map_C names;
    record_map_C records;
    std::string version;
    if (!from_ls_txt_2_map_with_file_size("ls_static.txt", names, records, version)) {
        placed.clear();
        return;
    }
    remember_listing(names, placed);
    if (placed.save())
        log_format("do_client_auto_update  [%s MADE AFRESH FROM ls_static.txt]",
                   placed_files_C::file_name);
}

} // namespace

bool do_client_auto_update() {
    status("Auto update Started");
    const std::string reference_listing = g_root_path + "\\" + "ls_remote.txt";
    placed_files_C& placed = placed_files();
    load_placed_files(placed);

    status("processing recovery...");
    if (!process_recovery()) {
        log("do_client_auto_update    [process_recovery  FAILED]");
        status("processing recovery...[FAILED]");
        return false;
    }
    log("do_client_auto_update    [process_recovery SUCCESS]");
    status("processing recovery...[SUCCESS]");
    mirror_trust_C& trust = mirror_trust();
    if (trust.required())
        trust.discard_staged();

    status("choosing random FTP server...");
    if (!choose_randomly_FTP_server()) {
        log("do_client_auto_update  [choose_randomly_FTP_server  FAILED]");
        return false;
    }
    status("choosing random FTP server...[DONE]");

    std::string static_version = "UNSET";
    std::string dynamic_version = "UNSET";
    name_map_C local_names;
    name_map_C remote_names;

    if (local_file_exists("ls_static.txt")) {
        // The tree is taken to be what the last successful run left: its
        // listing stands in for the disk, and the mirror's version decides
        // whether anything is to be done.
        status("mapping ls.txt file...");
        record_map_C local_records;
        if (!from_ls_txt_2_map_with_file_size("ls_static.txt", local_names, local_records,
                                              static_version)) {
            log("from_ls_txt_2_map    [FAILED]");
            status("from_ls_txt_2_map    [FAILED]");
            return false;
        }
        status("mapping ls.txt file...[DONE]");

        status("retrieving remote version...");
        bool connection_failed = false;
        const bool retrieved = get_remote_version_txt_file(connection_failed, dynamic_version);
        status("retrieving remote version...[DONE]");
        if (retrieved) {
            log("do_client_auto_update  [version.txt RETRIEVED SUCCESFULLY FROM FTP SERVER]");
            log_format("static_version = %s, dynamic_version = %s", static_version.c_str(),
                       dynamic_version.c_str());
            if (trust.required() && !trust.check_version(dynamic_version))
                return false;
            if (versions_are_equal(static_version, dynamic_version)) {
                log("do_client_auto_update  [static_version and dynamic_version are the same, "
                    "nothing to do]");
                g_client_parameters = static_version;
                if (trust.required())
                    trust.keep_signature();
                return true;
            }
            log("do_client_auto_update  [static_version and dynamic_version are different]");
        } else if (connection_failed) {
            log("do_client_auto_update  [version.txt COULD NOT BE RETRIEVED (and connection "
                "FAILED)]");
            return false;
        } else {
            log("do_client_auto_update  [version.txt COULD NOT BE RETRIEVED (but connection "
                "succeeded)]");
        }
    } else {
        status("파일 검사 중...");
        if (!create_ls_txt_file(g_root_path, g_compressed_tree_name, local_names)) {
            log("do_client_auto_update  [create_ls_txt_file  FAILED]");
            status("파일 검사 중...[실패]");
            return false;
        }
        status("파일 검사 중...[성공]");
    }

    if (!fetch_reference_listing())
        return false;

    log("do_client_auto_update  [remote ls.txt RETRIEVED SUCCESFULLY]");
    status("about to retrieve remote ls.txt...[SUCCESS]");
    status("mapping remote ls.txt...");
    g_remote_file_records.clear();
    if (!from_ls_txt_2_map_with_file_size(reference_listing, remote_names, g_remote_file_records,
                                          dynamic_version)) {
        log("do_client_auto_update  [from_ls_txt_2_map_with_file_size  FAILED]");
        return false;
    }
    if (trust.required() && !trust.check_listing(reference_listing, dynamic_version, remote_names))
        return false;
    g_client_parameters = dynamic_version;

    if (check_path_length(remote_names)) {
        status("FAILED !! (DIRECTORY TOO DEEP)");
        blink();
        qp::sleep(800);
        log("do_client_auto_update  [DIRECTORY TOO DEEP, WON'T BE ABBLE TO CREATE NECESSARY "
            "FILES]");
        return false;
    }

    status("mapping remote ls.txt...[DONE]");
    log("mapping remote ls.txt...[DONE]");
    log("do_client_auto_update  [about to equalize_LOCAL_tree]");
    status("about to equalize local tree...");

    // A signed mirror's files are all fetched and checked before anything
    // in the folder changes.
    if (trust.required() && !trust.stage_files(remote_names, local_names)) {
        log("do_client_auto_update  [stage_signed_files  FAILED]");
        status("about to equalize local tree...[FAILED]");
        return false;
    }

    // Before anything changes, so that a run killed half-way still knows
    // every file it may have placed.
    remember_listing(remote_names, placed);
    if (placed.changed() && !placed.save()) {
        log_format("do_client_auto_update  [CAN'T RECORD THE PLACED FILES IN %s]",
                   placed_files_C::file_name);
        return false;
    }
    const bool files_deleted = delete_useless_local_files(local_names, remote_names, placed);
    const bool folders_deleted =
        files_deleted && delete_useless_local_folders(local_names, remote_names, placed);
    if (placed.changed())
        placed.save();
    if (!files_deleted) {
        log("do_client_auto_update  :  [delete_useless_local_files FAILED]");
        return false;
    }
    if (!folders_deleted) {
        log("do_client_auto_update  [delete_useless_local_folders  FAILED]");
        return false;
    }
    if (!equalize_LOCAL_tree(remote_names, local_names)) {
        log("do_client_auto_update  :  equalize_LOCAL_tree  [FAILED]");
        status("about to equalize local tree...[FAILED]");
        return false;
    }
    log("do_client_auto_update  :  equalize_LOCAL_tree  [SUCCESS]");
    status("about to equalize local tree...[SUCCESS]");

    if (local_file_exists("ls_static.txt") && !delete_one_local_file("ls_static.txt")) {
        log("do_client_auto_update  :  deletion of old ls_static.txt  [FAILED]");
        return false;
    }
    status("ls_remote.txt => ls_static.txt");
    if (!rename_local_file("ls_remote.txt", "ls_static.txt")) {
        log("do_client_auto_update  :  can't rename : ls_remote.txt => ls_static.txt  [FAILED]");
        return false;
    }
    status("rename : ls_remote.txt => ls_static.txt   [SUCCESS]");
    log("rename : ls_remote.txt => ls_static.txt  [SUCCESS]");
    // The tree is right either way; only the floor for replays stays lower.
    if (trust.required())
        trust.keep_signature();
    return true;
}
