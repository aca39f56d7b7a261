#include "tree/equalize.h"

#include <stdio.h>

#include <vector>

#include "common/file_names.h"
#include "common/front_end_C.h"
#include "common/guard_zone_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/uncompress.h"
#include "common/update_run_C.h"
#include "net/CFtp.h"
#include "common/remote_records.h"
#include "quill/platform/file.h"
#include "quill/platform/line_log.h"
#include "tree/ls_txt.h"
#include "tree/mirror_trust.h"

namespace {

const lamp_colour_C bar_blue = {0, 0, 255};

bool fail_with_guard_check(update_run_C& run) {
    guard_zones_intact(run);
    return false;
}

bool refuse_link(update_run_C& run, const std::string& relative) {
    return refuse_link_outside(run, "equalize_LOCAL_tree", relative);
}

// Places a file that was downloaded and checked before anything changed:
// its staged copy moves to its path.
bool place_staged_file(update_run_C& run, const std::string& entry, const std::string& staged) {
    std::string plain_relative;
    std::string gz_part;
    if (!convert_name_gz_2_normal(run, entry, plain_relative, gz_part)) {
        run.log.log_format("equalize_LOCAL_tree  [convert_name_gz_2_normal FAILED : %s]",
                           entry.c_str());
        return false;
    }
    replace_this_char_in_string(run, plain_relative, "/", "\\");
    if (refuse_link(run, plain_relative))
        return false;
    const std::string destination = run.root_path + "\\" + plain_relative;
    run.log.log_format("equalize_LOCAL_tree  [PLACING THE CHECKED COPY OF %s]", entry.c_str());
    if (!move_into_place(run, staged, destination))
        return false;
    mirror_trust().forget_staged(entry);
    if (!qp::mark_program_executable(destination.c_str()))
        run.log.log_format("equalize_LOCAL_tree  [WARNING : CAN'T MAKE %s EXECUTABLE]",
                           destination.c_str());
    return true;
}

// Places one remote file: fetch the compressed copy into the root, drop
// its digest suffix, uncompress it in the root and move it where it
// belongs once its content has the digest its entry name promises.
// wrong_content tells that the mirror's copy was at fault.
bool place_one_file(update_run_C& run, const std::string& entry, int root_depth,
                    bool& wrong_content) {
    wrong_content = false;
    std::string short_name;
    if (!convert_filename_from_absolute_2_relative(run, entry, short_name)) {
        run.log.log_format(
            "equalize_LOCAL_tree : convert_filename_from_absolute_2_relative [FAILED BUT "
            "OK ANYWAY] (%s)",
            entry.c_str());
        short_name = entry;
    }
    std::string ftp_name = entry;
    replace_this_char_in_string(run, ftp_name, "\\", "/");
    run.log.log_format("equalize_LOCAL_tree [GetFtpFile(%s,%s)]", ftp_name.c_str(),
                       short_name.c_str());
    run.log.log_format("equalize_LOCAL_tree  [iter_remote->first=%s, short_name=%s]", entry.c_str(),
                       short_name.c_str());
    if (refuse_link(run, short_name))
        return false;
    const std::string staged = mirror_trust().staged_copy(entry);
    if (!staged.empty())
        return place_staged_file(run, entry, staged);

    run.shown.set_lamp(lamp_idle);
    bool fetched;
    {
        CFtp ftp(run);
        fetched = ftp.GetFtpFile_unsafe_clever(ftp_name, short_name);
    }
    run.shown.set_lamp(lamp_idle);
    if (!fetched) {
        run.log.log_format("equalize_LOCAL_tree  [GetFtpFile_unsafe_clever FAILED WITH : %s]",
                           entry.c_str());
        return false;
    }
    run.log.log_format("equalize_LOCAL_tree  [SUCCESS WITH : %s]", entry.c_str());

    std::string plain_relative;
    std::string gz_part;
    if (!convert_name_gz_2_normal(run, entry, plain_relative, gz_part)) {
        run.log.log_format("equalize_LOCAL_tree  [convert_name_gz_2_normal FAILED : %s]",
                           entry.c_str());
        delete_one_local_file(run, short_name);
        return false;
    }
    replace_this_char_in_string(run, plain_relative, "/", "\\");
    run.log.log_format("new_dest=%s", plain_relative.c_str());
    const std::string destination = run.root_path + "\\" + plain_relative;

    const bool at_root = compute_file_depth(run, destination) == root_depth;
    if (at_root)
        run.log.log_format("equalize_LOCAL_tree  [NO NEED TO MOVE IT AFTER UNCOMPRESS] - %s",
                           destination.c_str());

    const std::string gz_relative = md5_2_normal(run, entry);
    std::string gz_name;
    if (at_root) {
        gz_name = gz_relative;
        run.log.log_format(
            "equalize_LOCAL_tree: no need to call convert_filename_from_absolute_2_relative "
            "(because at root level) : %s",
            gz_name.c_str());
    } else if (!convert_filename_from_absolute_2_relative(run, gz_relative, gz_name)) {
        run.log.log_format(
            "equalize_LOCAL_tree  :  convert_filename_from_absolute_2_relative  [FAILED] : "
            "%s",
            gz_relative.c_str());
        delete_one_local_file(run, short_name);
        return false;
    }

    if (refuse_link(run, plain_relative) || refuse_link(run, gz_name)) {
        delete_one_local_file(run, short_name);
        return false;
    }
    if (!rename_local_file(run, short_name, gz_name)) {
        run.log.log_format("equalize_LOCAL_tree [rename_local_file : %s : FAILED]",
                           short_name.c_str());
        delete_one_local_file(run, short_name);
        return false;
    }
    run.log.log_format("equalize_LOCAL_tree [rename_local_file : %s : SUCCESS]",
                       short_name.c_str());
    run.log.log_format("equalize_LOCAL_tree [uncompress_and_move_local_file(%s,%s)]",
                       gz_name.c_str(), destination.c_str());

    std::string plain_name;
    if (!convert_name_gz_2_normal(run, gz_name, plain_name, gz_part)) {
        run.log.log_format("equalize_LOCAL_tree  [convert_name_gz_2_normal (2) FAILED WITH : %s]",
                           gz_name.c_str());
        delete_one_local_file(run, gz_name);
        return false;
    }
    // A root file is uncompressed under its download name, which the crash
    // recovery knows, and not at its own path: until its digest is checked
    // the content may be anything.
    const std::string staging = at_root ? short_name : plain_name;
    const std::string shadow_name = plain_name + ".shadow_fra";
    if (refuse_link(run, staging) || (!at_root && refuse_link(run, shadow_name))) {
        delete_one_local_file(run, gz_name);
        return false;
    }

    // A root file of the same name would be taken for the fresh one.
    bool shadowed = false;
    if (!at_root && qp::path_exists(plain_name.c_str()) && !qp::is_directory(plain_name.c_str())) {
        run.log.log_format("equalize_LOCAL_tree  [MUST_SHADOW_THE_FILE %s]", plain_name.c_str());
        if (!rename_local_file(run, plain_name, shadow_name)) {
            run.log.log_format("equalize_LOCAL_tree  [rename_local_file FAILED (2) WITH FILE %s]",
                               plain_name.c_str());
            delete_one_local_file(run, gz_name);
            return false;
        }
        shadowed = true;
    }

    const std::string expected = entry.substr(entry.rfind('.') + 1);
    std::string content_md5;
    const bool placed = uncompress_verify_and_move(run, gz_name, staging, destination, expected,
                                                   wrong_content, content_md5);
    if (!placed) {
        if (!content_md5.empty() && content_md5 != expected)
            run.log.log_format("equalize_LOCAL_tree  [MD5 MISMATCH : %s : CONTENT IS %s]",
                               entry.c_str(), content_md5.c_str());
        // Without its digest suffix the crash recovery would not know it,
        // and the next local listing would take it for a file of the tree.
        if (qp::path_exists(gz_name.c_str()))
            delete_one_local_file(run, gz_name);
        // Uncompressed but never moved: it stands where the shadowed root
        // file has to come back.
        if (qp::path_exists(staging.c_str()) && !qp::is_directory(staging.c_str()))
            delete_one_local_file(run, staging);
    } else if (!qp::mark_program_executable(destination.c_str())) {
        run.log.log_format("equalize_LOCAL_tree  [WARNING : CAN'T MAKE %s EXECUTABLE]",
                           destination.c_str());
    }

    if (shadowed) {
        run.log.log_format("equalize_LOCAL_tree  [MUST_PUT_SHADOWED_FILE_BACK_TO_LIGHT : %s]",
                           plain_name.c_str());
        if (!rename_local_file(run, shadow_name, plain_name)) {
            run.log.log_format("equalize_LOCAL_tree  [rename_local_file FAILED (3) WITH FILE %s]",
                               plain_name.c_str());
            return false;
        }
    }
    return placed;
}

// A mirror whose copy is damaged or has another digest is left like one
// that cannot be reached: the file is fetched again from the next mirror of
// the shake, as often as a transfer may change mirrors.
bool equalize_one_file(update_run_C& run, const std::string& entry, int root_depth) {
    const int attempts = transfer_laps(run);
    for (int attempt = 1;; ++attempt) {
        bool wrong_content = false;
        if (place_one_file(run, entry, root_depth, wrong_content))
            return true;
        if (!wrong_content || attempt >= attempts)
            return false;
        run.log.log_format(
            "equalize_LOCAL_tree  [WRONG CONTENT FROM SERVER %d, TRYING ANOTHER SERVER : "
            "%s]",
            run.current_server_index, entry.c_str());
        run.last_connection_failed = true;
    }
}

} // namespace

bool create_directory(update_run_C& run, const std::string& relative_path) {
    if (refuse_link_outside(run, "create_directory", relative_path))
        return false;
    {
        CFtp ftp(run);
        std::string remote_directory;
        ftp.get_remote_current_dir(remote_directory);
        run.log.log_format("remote current dir : %s", remote_directory.c_str());
    }
    const bool created = qp::create_directory(relative_path.c_str());
    run.log.log_format(created ? "CreateDirectory( dirname=%s)   [SUCCESS]"
                               : "CreateDirectory( dirname=%s)   [FAILED]",
                       relative_path.c_str());
    return created;
}

bool equalize_LOCAL_tree(update_run_C& run, const name_map_C& remote, const name_map_C& local) {
    const int root_depth = compute_file_depth(run, run.local_path("as_a_file"));
    const int count = static_cast<int>(remote.size());
    if (count == 0) {
        run.log.log_line("equalize_LOCAL_tree  [REMOTE ls.txt IS EMPTY, NOTHING TO DO]");
        return fail_with_guard_check(run);
    }
    run.shown.set_bar_range(listing_bar_control, count);
    run.shown.set_bar_colours(listing_bar_control, &bar_blue, nullptr);
    run.file_count = count;
    run.file_current = 0;
    run.shown.set_lamp(lamp_idle);

    for (const auto& entry : remote) {
        const std::string& name = entry.first;
        const std::string progress = qp::format_text("( %d / %d )", run.file_current, count);
        run.log.log_line(progress.c_str());
        run.shown.set_status_text(progress.c_str());
        if (local.find(name) != local.end()) {
            run.log.log_format("%s [ALREADY PRESENT IN LOCAL MAP]", name.c_str());
        } else {
            run.log.log_format("the Filo : %s : is not present in local map", name.c_str());
            if (entry.second == 1) {
                run.log.log_format("the Filo : %s : is a directory", name.c_str());
                run.log.log_format("equalize_LOCAL_tree  [about to create the directory : %s]",
                                   name.c_str());
                if (!create_directory(run, name)) {
                    run.log.log_format("equalize_LOCAL_tree : create_directory(%s)  [FAILED]",
                                       name.c_str());
                    return fail_with_guard_check(run);
                }
                run.log.log_format("equalize_LOCAL_tree : create_directory(%s)  [SUCCESS]",
                                   name.c_str());
            } else {
                run.log.log_format("the Filo : %s : is a file", name.c_str());
                if (!equalize_one_file(run, name, root_depth))
                    return false;
            }
        }
        run.shown.step_bar(listing_bar_control);
        ++run.file_current;
    }
    return guard_zones_intact(run);
}
