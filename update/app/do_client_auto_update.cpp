// One update run: recover from an interrupted run, choose a mirror, decide
// from the versions whether anything is to be done, fetch the reference
// listing, and make the local tree equal to it.
#include "app/update_worker.h"

#include <string>

#include "common/update_run_C.h"
#include "common/remote_records.h"
#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/parcours.h"
#include "common/placed_files_C.h"
#include "common/settings.h"
#include "common/uncompress.h"
#include "net/recovery.h"
#include "net/mirror_choice.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "tree/equalize.h"
#include "tree/ls_txt.h"
#include "tree/mirror_trust.h"
#include "tree/remote_listing.h"

namespace {

// The reference listing arrived compressed: make it "ls_remote.txt".
bool take_compressed_listing(update_run_C& run) {
    run.log.log_line(
        "do_client_auto_update  [THE FILE ls_compressed.txt.gz WAS RETRIEVED SUCCESFULLY]");
    if (!uncompress_it(run, "ls_compressed.txt.gz")) {
        run.log.log_line(
            "do_client_auto_update   [FAILED TO UNCOMPRESS THE FILE ls_compressed.txt.gz]");
        return false;
    }
    run.log.log_line(
        "do_client_auto_update  [THE FILE ls_compressed.txt.gz WAS UNCOMPRESSED SUCESFULLY]");
    if (local_file_exists(run, "ls_remote.txt")) {
        if (!delete_one_local_file(run, "ls_remote.txt")) {
            run.log.log_line("do_client_auto_update  [CANT DELETE THE FILE ls_remote.txt]");
            return false;
        }
        run.log.log_line("do_client_auto_update  [THE FILE ls_remote.txt WAS DELETED SUCCESFULLY]");
    }
    if (!rename_local_file(run, "ls_compressed.txt", "ls_remote.txt")) {
        run.log.log_line(
            "do_client_auto_update  [FAILED TO MOVE ls_compressed.txt -> ls_remote.txt]");
        return false;
    }
    run.log.log_line(
        "do_client_auto_update  [MOVED ls_compressed.txt -> ls_remote.txt SUCCESFULLY]");
    run.log.log_line(
        "do_client_auto_update  [HEUM..SEEMS THE ls_remote.txt WAS ALREADY RETRIEVED via the "
        "ls_compressed.txt.gz FILE]");
    return true;
}

// The reference listing into "ls_remote.txt": compressed first, the plain
// one when the mirror was reached but had no compressed listing.
bool fetch_reference_listing(update_run_C& run) {
    bool connection_failed = false;
    if (get_remote_compressed_ls_txt_file(run, connection_failed))
        return take_compressed_listing(run);

    run.log.log_line(
        "do_client_auto_update  [-- UNABLE TO RETRIEVE THE ls_compressed.txt.gz FILE --]");
    if (connection_failed) {
        run.log.log_line("do_client_auto_update  [the cause is : CONNECTION FAILURE]");
        return false;
    }
    run.log.log_line("do_client_auto_update  [HEUM..SEEMS WE HAVEN'T BEEN ABBLE TO GET THE "
                     "ls_compressed.txt.gz FILE]");
    run.log.log_line("do_client_auto_update  [about to retrieve the remote ls.txt]");
    run.shown.set_status_text("about to retrieve remote ls.txt...");
    if (!get_remote_ls_txt_file_CLEVER(run, connection_failed)) {
        run.log.log_line("do_client_auto_update  [REMOTE ls.txt FILE WAS NOT FOUND]");
        run.shown.set_status_text("about to retrieve remote ls.txt...[FAILED]");
        run.log.log_line("do_client_auto_update  [CAN'T PROCEED WITHOUT ls.txt]");
        return false;
    }
    return true;
}

// The record of what the updater may delete. An installation without one
// takes it from the listing of its last successful run.
void load_placed_files(update_run_C& run, placed_files_C& placed) {
    if (placed.load() || !qp::path_exists("ls_static.txt"))
        return;
    name_map_C names;
    record_map_C records;
    std::string version;
    if (!from_ls_txt_2_map_with_file_size(run, "ls_static.txt", names, records, version)) {
        placed.clear();
        return;
    }
    remember_listing(names, placed);
    if (placed.save(run))
        run.log.log_format("do_client_auto_update  [%s MADE AFRESH FROM ls_static.txt]",
                           placed_files_C::file_name);
}

} // namespace

bool do_client_auto_update(update_run_C& run) {
    run.shown.set_status_text("Auto update Started");
    const std::string reference_listing = run.local_path("ls_remote.txt");
    placed_files_C& placed = run.placed;
    load_placed_files(run, placed);

    run.shown.set_status_text("processing recovery...");
    if (!process_recovery(run)) {
        run.log.log_line("do_client_auto_update    [process_recovery  FAILED]");
        run.shown.set_status_text("processing recovery...[FAILED]");
        return false;
    }
    run.log.log_line("do_client_auto_update    [process_recovery SUCCESS]");
    run.shown.set_status_text("processing recovery...[SUCCESS]");
    mirror_trust_C& trust = mirror_trust();
    if (trust.required())
        trust.discard_staged(run);

    run.shown.set_status_text("choosing random FTP server...");
    if (!choose_randomly_FTP_server(run)) {
        run.log.log_line("do_client_auto_update  [choose_randomly_FTP_server  FAILED]");
        return false;
    }
    run.shown.set_status_text("choosing random FTP server...[DONE]");

    std::string static_version = "UNSET";
    std::string dynamic_version = "UNSET";
    name_map_C local_names;
    name_map_C remote_names;

    if (local_file_exists(run, "ls_static.txt")) {
        // The tree is taken to be what the last successful run left: its
        // listing stands in for the disk, and the mirror's version decides
        // whether anything is to be done.
        run.shown.set_status_text("mapping ls.txt file...");
        record_map_C local_records;
        if (!from_ls_txt_2_map_with_file_size(run, "ls_static.txt", local_names, local_records,
                                              static_version)) {
            run.log.log_line("from_ls_txt_2_map    [FAILED]");
            run.shown.set_status_text("from_ls_txt_2_map    [FAILED]");
            return false;
        }
        run.shown.set_status_text("mapping ls.txt file...[DONE]");

        run.shown.set_status_text("retrieving remote version...");
        bool connection_failed = false;
        const bool retrieved = get_remote_version_txt_file(run, connection_failed, dynamic_version);
        run.shown.set_status_text("retrieving remote version...[DONE]");
        if (retrieved) {
            run.log.log_line(
                "do_client_auto_update  [version.txt RETRIEVED SUCCESFULLY FROM FTP SERVER]");
            run.log.log_format("static_version = %s, dynamic_version = %s", static_version.c_str(),
                               dynamic_version.c_str());
            if (trust.required() && !trust.check_version(run, dynamic_version))
                return false;
            if (versions_are_equal(static_version, dynamic_version)) {
                run.log.log_line(
                    "do_client_auto_update  [static_version and dynamic_version are the same, "
                    "nothing to do]");
                run.client_parameters = static_version;
                if (trust.required())
                    trust.keep_signature(run);
                return true;
            }
            run.log.log_line(
                "do_client_auto_update  [static_version and dynamic_version are different]");
        } else if (connection_failed) {
            run.log.log_line(
                "do_client_auto_update  [version.txt COULD NOT BE RETRIEVED (and connection "
                "FAILED)]");
            return false;
        } else {
            run.log.log_line(
                "do_client_auto_update  [version.txt COULD NOT BE RETRIEVED (but connection "
                "succeeded)]");
        }
    } else {
        run.shown.set_status_text("파일 검사 중...");
        if (!create_ls_txt_file(run, run.root_path, g_compressed_tree_name, local_names)) {
            run.log.log_line("do_client_auto_update  [create_ls_txt_file  FAILED]");
            run.shown.set_status_text("파일 검사 중...[실패]");
            return false;
        }
        run.shown.set_status_text("파일 검사 중...[성공]");
    }

    if (!fetch_reference_listing(run))
        return false;

    run.log.log_line("do_client_auto_update  [remote ls.txt RETRIEVED SUCCESFULLY]");
    run.shown.set_status_text("about to retrieve remote ls.txt...[SUCCESS]");
    run.shown.set_status_text("mapping remote ls.txt...");
    run.remote_records.clear();
    if (!from_ls_txt_2_map_with_file_size(run, reference_listing, remote_names,
                                          run.remote_records, dynamic_version)) {
        run.log.log_line("do_client_auto_update  [from_ls_txt_2_map_with_file_size  FAILED]");
        return false;
    }
    if (trust.required() &&
        !trust.check_listing(run, reference_listing, dynamic_version, remote_names))
        return false;
    run.client_parameters = dynamic_version;

    if (check_path_length(remote_names)) {
        run.shown.set_status_text("FAILED !! (DIRECTORY TOO DEEP)");
        blink(run);
        run.clock.sleep(800);
        run.log.log_line(
            "do_client_auto_update  [DIRECTORY TOO DEEP, WON'T BE ABBLE TO CREATE NECESSARY "
            "FILES]");
        return false;
    }

    run.shown.set_status_text("mapping remote ls.txt...[DONE]");
    run.log.log_line("mapping remote ls.txt...[DONE]");
    run.log.log_line("do_client_auto_update  [about to equalize_LOCAL_tree]");
    run.shown.set_status_text("about to equalize local tree...");

    // A signed mirror's files are all fetched and checked before anything
    // in the folder changes.
    if (trust.required() && !trust.stage_files(run, remote_names, local_names)) {
        run.log.log_line("do_client_auto_update  [stage_signed_files  FAILED]");
        run.shown.set_status_text("about to equalize local tree...[FAILED]");
        return false;
    }

    // Before anything changes, so that a run killed half-way still knows
    // every file it may have placed.
    remember_listing(remote_names, placed);
    if (placed.changed() && !placed.save(run)) {
        run.log.log_format("do_client_auto_update  [CAN'T RECORD THE PLACED FILES IN %s]",
                           placed_files_C::file_name);
        return false;
    }
    const bool files_deleted = delete_useless_local_files(run, local_names, remote_names, placed);
    const bool folders_deleted =
        files_deleted && delete_useless_local_folders(run, local_names, remote_names, placed);
    if (placed.changed())
        placed.save(run);
    if (!files_deleted) {
        run.log.log_line("do_client_auto_update  :  [delete_useless_local_files FAILED]");
        return false;
    }
    if (!folders_deleted) {
        run.log.log_line("do_client_auto_update  [delete_useless_local_folders  FAILED]");
        return false;
    }
    if (!equalize_LOCAL_tree(run, remote_names, local_names)) {
        run.log.log_line("do_client_auto_update  :  equalize_LOCAL_tree  [FAILED]");
        run.shown.set_status_text("about to equalize local tree...[FAILED]");
        return false;
    }
    run.log.log_line("do_client_auto_update  :  equalize_LOCAL_tree  [SUCCESS]");
    run.shown.set_status_text("about to equalize local tree...[SUCCESS]");

    if (local_file_exists(run, "ls_static.txt") && !delete_one_local_file(run, "ls_static.txt")) {
        run.log.log_line("do_client_auto_update  :  deletion of old ls_static.txt  [FAILED]");
        return false;
    }
    run.shown.set_status_text("ls_remote.txt => ls_static.txt");
    if (!rename_local_file(run, "ls_remote.txt", "ls_static.txt")) {
        run.log.log_line(
            "do_client_auto_update  :  can't rename : ls_remote.txt => ls_static.txt  [FAILED]");
        return false;
    }
    run.shown.set_status_text("rename : ls_remote.txt => ls_static.txt   [SUCCESS]");
    run.log.log_line("rename : ls_remote.txt => ls_static.txt  [SUCCESS]");
    // The tree is right either way; only the floor for replays stays lower.
    if (trust.required())
        trust.keep_signature(run);
    return true;
}
