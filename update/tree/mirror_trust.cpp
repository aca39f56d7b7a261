#include "tree/mirror_trust.h"

#include <stdio.h>

#include <vector>

#include "common/file_names.h"
#include "common/front_end_C.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/uncompress.h"
#include "common/update_run_C.h"
#include "net/CFtp.h"
#include "common/remote_records.h"
#include "quill/platform/file.h"
#include "quill/platform/text.h"
#include "tree/equalize.h"

const char* const kept_signature_file_name = "ls_static.sig";
const char* const staging_folder_name = "ls_staged";

namespace {

// Where the mirror's "ls.sig" lands before it is checked.
const char kFetchedSignature[] = "ls_remote.sig";
// No real signature file comes near this: a line per file of the tree.
const size_t kMostSignatureBytes = 64u << 20;

std::string staged_path(update_run_C& run, size_t number, const char* ending) {
    return run.local_path(std::string(staging_folder_name) + "\\" + std::to_string(number) +
                          ending);
}

// The names the staging folder gives its files: a number, bare or with
// ".gz" or ".part".
bool is_staging_name(const std::string& name) {
    size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9')
        ++digits;
    if (digits == 0)
        return false;
    const std::string rest = name.substr(digits);
    return rest.empty() || rest == ".gz" || rest == ".part";
}

bool sha256_of_file(const std::string& path, qp::Sha256Digest* digest) {
    FILE* file = qp::open_stream(path.c_str(), "rb");
    if (!file)
        return false;
    qp::Sha256 sum;
    std::vector<char> buffer(1 << 16);
    size_t got;
    bool good = true;
    while (good && (got = fread(buffer.data(), 1, buffer.size(), file)) > 0)
        good = sum.update(buffer.data(), got);
    good = good && !ferror(file);
    fclose(file);
    return good && sum.finish(digest);
}

} // namespace

void mirror_trust_C::require_signatures_of(const qp::PublicKey& public_key) {
    key_ = public_key;
    required_ = true;
}

void mirror_trust_C::reset() {
    *this = mirror_trust_C();
}

bool mirror_trust_C::refuse(update_run_C& run, const char* caller, const std::string& reason) {
    run.log.log_format("%s  [MIRROR REFUSED : %s]", caller, reason.c_str());
    ended_untouched_ = true;
    return false;
}

bool mirror_trust_C::stop_untouched(update_run_C& run) {
    discard_staged(run);
    ended_untouched_ = true;
    return false;
}

uint64_t mirror_trust_C::installed_publication(update_run_C& run) const {
    std::string text;
    if (!qp::read_whole_file(run.local_path(kept_signature_file_name).c_str(), kMostSignatureBytes,
                             &text))
        return 0;
    // Only a signature that still checks out counts; anything else in its
    // place is as good as none, and the mirror's own must then stand alone.
    mirror_signature_C kept;
    std::string why;
    return read_mirror_signature(text, key_, &kept, &why) ? kept.publication : 0;
}

bool mirror_trust_C::fetch_and_read(update_run_C& run, const char* caller) {
    const std::string fetched = run.local_path(kFetchedSignature);
    bool fetched_it;
    {
        CFtp ftp(run);
        fetched_it = ftp.GetFtpFile_unsafe_clever(mirror_signature_file_name, fetched);
    }
    if (!fetched_it)
        return refuse(run, caller, std::string("NO SIGNATURE FILE ") + mirror_signature_file_name);
    std::string text;
    const bool read = qp::read_whole_file(fetched.c_str(), kMostSignatureBytes, &text);
    delete_one_local_file(run, fetched);
    if (!read)
        return refuse(run, caller, "SIGNATURE FILE UNREADABLE");

    mirror_signature_C content;
    std::string why;
    if (!read_mirror_signature(text, key_, &content, &why))
        return refuse(run, caller, why);
    // The listing map holds names as this system spells them.
    mirror_signature_C named = content;
    named.files.clear();
    for (const auto& file : content.files) {
        std::string name;
        if (!qp::name_from_cp949(file.first, &name))
            return refuse(run, caller, "SIGNED NAME NOT IN CODE PAGE 949 : " + file.first);
        named.files.emplace(name, file.second);
    }
    const uint64_t installed = installed_publication(run);
    if (named.publication < installed)
        return refuse(run, caller,
                      "PUBLICATION " + std::to_string(named.publication) +
                          " IS OLDER THAN THE INSTALLED " + std::to_string(installed));
    run.log.log_format("%s  [SIGNATURE OF PUBLICATION %s CHECKED]", caller,
                       std::to_string(named.publication).c_str());
    text_ = std::move(text);
    content_ = std::move(named);
    return true;
}

bool mirror_trust_C::check_version(update_run_C& run, const std::string& version) {
    if (!fetch_and_read(run, "check_signed_version"))
        return false;
    if (version != content_.version)
        return refuse(run, "check_signed_version",
                      "version.txt SAYS " + version + ", SIGNED IS " + content_.version);
    return true;
}

bool mirror_trust_C::check_listing(update_run_C& run, const std::string& listing_path,
                                   const std::string& version, const name_map_C& remote) {
    const char* const caller = "check_signed_listing";
    // The listing may come from another mirror than the version did.
    if (!fetch_and_read(run, caller))
        return false;
    std::string listing;
    qp::Sha256Digest digest;
    if (!qp::read_whole_file(listing_path.c_str(), kMostSignatureBytes * 4, &listing) ||
        !qp::sha256_of(listing.data(), listing.size(), &digest))
        return refuse(run, caller, "LISTING UNREADABLE");
    if (digest != content_.listing)
        return refuse(run, caller, "LISTING DIFFERS FROM THE SIGNED ONE");
    if (version != content_.version)
        return refuse(run, caller,
                      "LISTING VERSION " + version + ", SIGNED IS " + content_.version);
    for (const auto& entry : remote)
        if (entry.second != 1 && content_.files.find(entry.first) == content_.files.end())
            return refuse(run, caller, "NO SIGNED DIGEST FOR " + entry.first);
    return true;
}

void mirror_trust_C::discard_staged(update_run_C& run) {
    staged_.clear();
    const std::string folder = run.local_path(staging_folder_name);
    if (!qp::is_directory(folder.c_str()))
        return;
    std::vector<qp::DirEntry> entries;
    qp::find_files((folder + "\\*").c_str(), &entries);
    for (const qp::DirEntry& entry : entries)
        if (!entry.is_directory && is_staging_name(entry.name))
            delete_one_local_file(run, folder + "\\" + entry.name);
    // Anything else in it is not ours to delete, and keeps the folder.
    qp::remove_directory(folder.c_str());
}

bool mirror_trust_C::stage_files(update_run_C& run, const name_map_C& remote,
                                 const name_map_C& local) {
    const char* const caller = "stage_signed_files";
    discard_staged(run);
    const std::string folder = run.local_path(staging_folder_name);
    if (!qp::is_directory(folder.c_str()) && !qp::create_directory(folder.c_str())) {
        run.log.log_format("%s  [CAN'T CREATE %s]", caller, folder.c_str());
        return stop_untouched(run);
    }
    const int attempts = transfer_laps(run);
    int count = 0;
    for (const auto& entry : remote)
        if (entry.second != 1 && local.find(entry.first) == local.end())
            ++count;
    run.shown.set_bar_range(listing_bar_control, count);
    run.file_count = count;
    run.file_current = 0;
    size_t number = 0;
    for (const auto& entry : remote) {
        if (entry.second == 1 || local.find(entry.first) != local.end())
            continue;
        const std::string& name = entry.first;
        const std::string expected_md5 = name.substr(name.rfind('.') + 1);
        const qp::Sha256Digest& expected_sha256 = content_.files.at(name);
        std::string ftp_name = name;
        replace_this_char_in_string(run, ftp_name, "\\", "/");
        ++number;
        const std::string gz = staged_path(run, number, ".gz");
        const std::string part = staged_path(run, number, ".part");
        const std::string copy = staged_path(run, number, "");
        run.shown.set_status_text(("( " + std::to_string(run.file_current) + " / " +
                                   std::to_string(count) + " ) checking " + name)
                                      .c_str());
        bool staged = false;
        for (int attempt = 1; !staged; ++attempt) {
            bool fetched;
            {
                CFtp ftp(run);
                fetched = ftp.GetFtpFile_unsafe_clever(ftp_name, gz);
            }
            if (!fetched) {
                run.log.log_format("%s  [CAN'T FETCH %s]", caller, name.c_str());
                return stop_untouched(run);
            }
            bool wrong_content = false;
            std::string content_md5;
            qp::Sha256Digest sha256;
            if (uncompress_verify_and_move(run, gz, part, copy, expected_md5, wrong_content,
                                           content_md5)) {
                if (!sha256_of_file(copy, &sha256)) {
                    run.log.log_format("%s  [CAN'T READ %s]", caller, copy.c_str());
                    return stop_untouched(run);
                }
                if (sha256 == expected_sha256) {
                    staged = true;
                    break;
                }
                run.log.log_format("%s  [SHA-256 MISMATCH : %s]", caller, name.c_str());
                wrong_content = true;
            } else if (!content_md5.empty()) {
                run.log.log_format("%s  [MD5 MISMATCH : %s : CONTENT IS %s]", caller, name.c_str(),
                                   content_md5.c_str());
            }
            if (qp::path_exists(gz.c_str()))
                delete_one_local_file(run, gz);
            if (qp::path_exists(copy.c_str()))
                delete_one_local_file(run, copy);
            if (!wrong_content)
                return stop_untouched(run);
            if (attempt >= attempts) {
                discard_staged(run);
                return refuse(run, caller, "NO MIRROR SERVES THE SIGNED CONTENT OF " + name);
            }
            run.log.log_format("%s  [WRONG CONTENT FROM SERVER %d, TRYING ANOTHER SERVER : %s]",
                               caller, run.current_server_index, name.c_str());
            run.last_connection_failed = true;
        }
        staged_[name] = copy;
        run.shown.step_bar(listing_bar_control);
        ++run.file_current;
    }
    run.log.log_format("%s  [%d FILES STAGED AND CHECKED]", caller,
                       static_cast<int>(staged_.size()));
    return true;
}

std::string mirror_trust_C::staged_copy(const std::string& entry) const {
    const auto found = staged_.find(entry);
    return found == staged_.end() ? std::string() : found->second;
}

void mirror_trust_C::forget_staged(const std::string& entry) {
    staged_.erase(entry);
}

bool mirror_trust_C::keep_signature(update_run_C& run) {
    discard_staged(run);
    const std::string kept = run.local_path(kept_signature_file_name);
    const std::string fresh = kept + ".new";
    if (!qp::write_whole_file(fresh.c_str(), text_) || !qp::replace_file(fresh.c_str(), kept.c_str())) {
        qp::delete_file(fresh.c_str());
        run.log.log_format("keep_signature  [CAN'T WRITE %s]", kept_signature_file_name);
        return false;
    }
    run.log.log_format("keep_signature  [PUBLICATION %s INSTALLED]",
                       std::to_string(content_.publication).c_str());
    return true;
}

mirror_trust_C& mirror_trust() {
    static mirror_trust_C trust;
    return trust;
}
