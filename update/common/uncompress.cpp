#include "common/uncompress.h"

#include <filesystem>
#include <limits>
#include <vector>

#include "common/file_names.h"
#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/update_run_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"

namespace {

const unsigned gz_buffer_size = 65536;
const int move_tries = 200;
const uint32_t move_retry_ms = 25;
// Deflate cannot pass about 1032 to 1; real files stay far below 1024.
const uint64_t max_ratio = 1024;
// Below this the ratio is not asked: headers weigh much in a tiny file.
const uint64_t ratio_floor = 16u << 20;
// Left free on the disk for the rest of the update and the game.
const uint64_t free_space_margin = 16u << 20;

bool fail_uncompress(update_run_C& run) {
    run.shown.set_lamp(lamp_idle);
    return false;
}

uint64_t compressed_size_of(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(qp::system_path(path.c_str()), error);
    return error ? 0 : static_cast<uint64_t>(size);
}

// Unknown free space sets no bound of its own.
uint64_t free_space_beside(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(qp::system_path(path.c_str()), error).parent_path();
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    return error ? std::numeric_limits<uint64_t>::max() : static_cast<uint64_t>(space.available);
}

} // namespace

bool gz_uncompress(gzFile gz_file, FILE* out_file, md5_C* digest) {
    bool over_limit = false;
    return gz_uncompress(gz_file, out_file, std::numeric_limits<uint64_t>::max(), &over_limit,
                         digest);
}

uint64_t uncompressed_bound(uint64_t compressed_size, uint64_t free_space) {
    const uint64_t room = free_space > free_space_margin ? free_space - free_space_margin : 0;
    const uint64_t ratio_bound =
        compressed_size > ratio_floor / max_ratio ? compressed_size * max_ratio : ratio_floor;
    return room < ratio_bound ? room : ratio_bound;
}

bool gz_uncompress(gzFile gz_file, FILE* out_file, uint64_t limit, bool* over_limit,
                   md5_C* digest) {
    std::vector<char> buffer(gz_buffer_size);
    uint64_t written = 0;
    *over_limit = false;
    bool copied = true;
    bool first = true;
    for (;;) {
        const int got = gzread(gz_file, buffer.data(), gz_buffer_size);
        if (got < 0) {
            copied = false;
            break;
        }
        // zlib passes a file without gzip header through unchanged; a
        // download that is not gzip is damaged, not plain.
        if (first && gzdirect(gz_file)) {
            copied = false;
            break;
        }
        first = false;
        if (got == 0)
            break;
        if (fwrite(buffer.data(), 1, static_cast<size_t>(got), out_file) !=
            static_cast<size_t>(got)) {
            copied = false;
            break;
        }
        written += static_cast<uint64_t>(got);
        if (written > limit) {
            *over_limit = true;
            copied = false;
            break;
        }
        if (digest)
            digest->update(buffer.data(), static_cast<size_t>(got));
    }
    // A stream cut short reads like a clean end; zlib only remembers it.
    int error = Z_OK;
    gzerror(gz_file, &error);
    if (error != Z_OK)
        copied = false;
    const bool out_closed = fclose(out_file) == 0;
    const bool gz_closed = gzclose(gz_file) == Z_OK;
    return copied && out_closed && gz_closed;
}

namespace {

enum uncompress_outcome_C { uncompressed, local_failure, damaged_stream };

// uncompress_it into a given plain name.
// uncompress_it into a given plain name (staging), or the one derived from
// the compressed name when none is given.
uncompress_outcome_C uncompress_into(update_run_C& run, const std::string& gz_path,
                                     const std::string* staging, md5_C* digest) {
    run.log.log_format("uncompress_it(%s)  [ENTERING]", gz_path.c_str());
    run.shown.set_lamp(lamp_magenta);

    if (!local_file_exists(run, gz_path)) {
        run.log.log_format("uncompress_it(%s)  [CAN'T FIND SOURCE FILE TO UNCOMPRESS]",
                           gz_path.c_str());
        fail_uncompress(run);
        return local_failure;
    }
    const char* mode = "rb";
    gzFile gz_file = gzopen(qp::system_path(gz_path.c_str()).c_str(), mode);
    if (!gz_file) {
        run.log.log_format("uncompress_it  [gzopen FAILED <1> WITH : %s]", gz_path.c_str());
        fail_uncompress(run);
        return local_failure;
    }
    run.log.log_format("uncompress_it  [gzopen(%s,%s)  SUCCESS]", gz_path.c_str(), mode);

    std::string normal_name = "UNSET";
    std::string gz_part = "UNSET";
    if (!convert_name_gz_2_normal(run, gz_path, normal_name, gz_part)) {
        run.log.log_format("uncompress_it  [convert_name_gz_2_normal(%s) FAILED] ",
                           gz_path.c_str());
        gzclose(gz_file);
        fail_uncompress(run);
        return local_failure;
    }
    if (staging)
        normal_name = *staging;
    FILE* out_file = qp::open_stream(normal_name.c_str(), "wb");
    if (!out_file) {
        run.log.log_format("uncompress_it  [gzopen FAILED <2> WITH : %s]", normal_name.c_str());
        gzclose(gz_file);
        fail_uncompress(run);
        return local_failure;
    }
    run.log.log_format("uncompress_it  [fopen(%s, wb) SUCCESS]", normal_name.c_str());
    run.log.log_line("uncompress_it [ABOUT TO CALL gz_uncompress...]");

    const uint64_t bound =
        uncompressed_bound(compressed_size_of(gz_path), free_space_beside(normal_name));
    bool over_bound = false;
    if (!gz_uncompress(gz_file, out_file, bound, &over_bound, digest)) {
        if (over_bound)
            run.log.log_format("uncompress_it(%s)  [UNCOMPRESSED SIZE PASSES %llu BYTES]",
                               gz_path.c_str(), static_cast<unsigned long long>(bound));
        run.log.log_format("uncompress_it(%s)  [gz_uncompress  FAILED]", gz_path.c_str());
        // A part of the content under the plain name would look finished.
        if (qp::delete_file(normal_name.c_str()))
            run.log.log_format("uncompress_it  [INCOMPLETE FILE REMOVED : %s]",
                               normal_name.c_str());
        else
            run.log.log_format("uncompress_it  [INCOMPLETE FILE COULD NOT BE REMOVED : %s]",
                               normal_name.c_str());
        fail_uncompress(run);
        return damaged_stream;
    }
    run.log.log_line("uncompress_it  [gz_uncompress SUCCESS]");

    run.log.log_format("deleting the remaining compressed file : %s", gz_path.c_str());
    if (!delete_one_local_file(run, gz_path)) {
        run.log.log_format("uncompress_it : delete_one_local_file(%s)  FAILED", gz_path.c_str());
        fail_uncompress(run);
        return local_failure;
    }
    return uncompressed;
}

} // namespace

bool move_into_place(update_run_C& run, const std::string& from, const std::string& to) {
    for (int failed = 0; failed < move_tries; ++failed) {
        if (rename_local_file(run, from, to)) {
            run.log.log_format(
                "uncompress_and_move_local_file  [rename_local_file(%s,%s) FILE APPEARED "
                "AFTER %d TICKS]",
                from.c_str(), to.c_str(), failed);
            return true;
        }
        run.clock.sleep(move_retry_ms);
    }
    run.log.log_format("uncompress_and_move_local_file  [rename_local_file(%s,%s) TIMEOUT]",
                       from.c_str(), to.c_str());
    return false;
}

bool uncompress_it(update_run_C& run, const std::string& gz_path) {
    return uncompress_into(run, gz_path, nullptr, nullptr) == uncompressed;
}

bool uncompress_verify_and_move(update_run_C& run, const std::string& gz_path,
                                const std::string& staging, const std::string& destination,
                                const std::string& expected_md5, bool& wrong_content,
                                std::string& content_md5) {
    wrong_content = false;
    content_md5.clear();
    run.log.log_format("uncompress_and_move_local_file(%s,%s,%d)", gz_path.c_str(),
                       destination.c_str(), 0);
    md5_C digest;
    const uncompress_outcome_C outcome = uncompress_into(run, gz_path, &staging, &digest);
    if (outcome != uncompressed) {
        run.log.log_format("uncompress_and_move_local_file  [uncompress_it(%s)  FAILED]",
                           gz_path.c_str());
        wrong_content = outcome == damaged_stream;
        return false;
    }
    unsigned char bytes[16];
    digest.finish(bytes);
    content_md5 = md5_C::hex(bytes);
    if (content_md5 != expected_md5) {
        // The caller tells which entry promised another digest.
        delete_one_local_file(run, staging);
        wrong_content = true;
        return false;
    }
    return move_into_place(run, staging, destination);
}

bool uncompress_and_move_local_file(update_run_C& run, const std::string& gz_path,
                                    const std::string& destination, bool keep_in_place) {
    run.log.log_format("uncompress_and_move_local_file(%s,%s,%d)", gz_path.c_str(),
                       destination.c_str(), keep_in_place ? 1 : 0);
    if (!local_file_exists(run, gz_path)) {
        run.log.log_format("uncompress_and_move_local_file [ERR: CAN'T FIND SOURCE FILE : %s]",
                           gz_path.c_str());
        return false;
    }
    std::string normal_name = "UNSET";
    std::string gz_part = "UNSET";
    if (!convert_name_gz_2_normal(run, gz_path, normal_name, gz_part)) {
        run.log.log_format(
            "uncompress_and_move_local_file : convert_name_gz_2_normal [FAILED] : %s",
            gz_path.c_str());
        return false;
    }
    const std::string from = keep_in_place ? "bidon_pepette" : normal_name;
    const std::string to = keep_in_place ? "bidon_pepette" : destination;

    if (!uncompress_it(run, gz_path)) {
        run.log.log_format("uncompress_and_move_local_file  [uncompress_it(%s)  FAILED]",
                           gz_path.c_str());
        return false;
    }
    if (keep_in_place) {
        run.log.log_format(
            "uncompress_and_move_local_file  [rename_local_file(%s,%s) FILE APPEARED AFTER "
            "%d TICKS]",
            from.c_str(), to.c_str(), 0);
        return true;
    }
    return move_into_place(run, from, to);
}
