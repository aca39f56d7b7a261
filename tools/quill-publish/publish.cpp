#include "publish.h"

#include <stdio.h>

#include <map>
#include <vector>

#include <zlib.h>

#include "common/md5_C.h"
#include "quill/platform/clock.h"
#include "quill/platform/file.h"
#include "quill/platform/text.h"
#include "tree/ls_txt.h"
#include "tree/mirror_signature.h"

namespace {

const size_t copy_buffer_size = 65536;

struct source_entry {
    bool directory;
    std::string relative; // backslashes between components, as this system names it
};

// The tree's entries under their listing names (code page 949), in the
// order of those bytes, so that every system writes the same listing.
typedef std::map<std::string, source_entry> source_map;

std::string join(const std::string& folder, const std::string& name) {
    return folder + "\\" + name;
}

// The tree below folder, in name order as the listing wants it.
bool walk_source(const std::string& folder, const std::string& relative,
                 source_map& entries, std::string& error) {
    std::vector<qp::DirEntry> found;
    if (!qp::find_files(join(folder, "*").c_str(), &found)) {
        error += "cannot list " + folder + "\n";
        return false;
    }
    bool ok = true;
    for (const qp::DirEntry& entry : found) {
        const std::string path = join(folder, entry.name);
        const std::string name = relative.empty() ? entry.name : join(relative, entry.name);
        if (entry.is_directory && qp::is_symbolic_link(path.c_str())) {
            error += name + ": a link to a folder cannot be published\n";
            ok = false;
            continue;
        }
        const std::string problem = entry_path_problem(name);
        if (!problem.empty()) {
            error += "\"" + name + "\": " + problem + "\n";
            ok = false;
            continue;
        }
        std::string listed;
        qp::name_to_cp949(name, &listed); // the check above made sure it has that form
        entries[listed] = source_entry{entry.is_directory, name};
        if (entry.is_directory && !walk_source(path, name, entries, error))
            ok = false;
    }
    return ok;
}

// Removes a tree that this tool made; links are removed, never followed.
bool remove_tree(const std::string& path) {
    if (!qp::is_directory(path.c_str()) || qp::is_symbolic_link(path.c_str())) {
        qp::make_writable(path.c_str());
        return qp::delete_file(path.c_str()) || qp::remove_directory(path.c_str());
    }
    std::vector<qp::DirEntry> found;
    if (!qp::find_files(join(path, "*").c_str(), &found))
        return false;
    for (const qp::DirEntry& entry : found)
        remove_tree(join(path, entry.name));
    return qp::remove_directory(path.c_str());
}

int64_t file_size(const std::string& path) {
    FILE* file = qp::open_stream(path.c_str(), "rb");
    if (!file)
        return -1;
    int64_t size = 0;
    char buffer[8192];
    // Counting keeps clear of the 32-bit offsets of the Windows C library.
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        size += static_cast<int64_t>(got);
    const bool ok = !ferror(file);
    fclose(file);
    return ok ? size : -1;
}

// Compresses source into target and returns the digests of the plain
// content (MD5 for the listing, SHA-256 for a signature) in one pass over it.
bool compress_file(const std::string& source, const std::string& target, std::string& md5_hex,
                   qp::Sha256Digest& sha256, int64_t& plain_size) {
    FILE* in = qp::open_stream(source.c_str(), "rb");
    if (!in)
        return false;
    gzFile out = gzopen(qp::system_path(target.c_str()).c_str(), "wb");
    if (!out) {
        fclose(in);
        return false;
    }
    md5_C md5;
    qp::Sha256 strong;
    std::vector<char> buffer(copy_buffer_size);
    bool ok = true;
    plain_size = 0;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        md5.update(buffer.data(), got);
        strong.update(buffer.data(), got);
        plain_size += static_cast<int64_t>(got);
        if (gzwrite(out, buffer.data(), static_cast<unsigned>(got)) != static_cast<int>(got)) {
            ok = false;
            break;
        }
    }
    if (ferror(in))
        ok = false;
    fclose(in);
    if (gzclose(out) != Z_OK)
        ok = false;
    unsigned char digest[16];
    md5.finish(digest);
    md5_hex = md5_C::hex(digest);
    if (!strong.finish(&sha256))
        ok = false;
    return ok;
}

bool write_whole(const std::string& path, const std::string& content) {
    return qp::write_whole_file(path.c_str(), content);
}

bool write_gzip(const std::string& path, const std::string& content) {
    gzFile file = gzopen(qp::system_path(path.c_str()).c_str(), "wb");
    if (!file)
        return false;
    const bool written =
        content.empty() ||
        gzwrite(file, content.data(), static_cast<unsigned>(content.size())) ==
            static_cast<int>(content.size());
    return gzclose(file) == Z_OK && written;
}

// An existing mirror may be replaced; any other folder holds someone's work.
bool may_replace(const std::string& mirror, std::string& error) {
    if (!qp::path_exists(mirror.c_str()))
        return true;
    if (!qp::is_directory(mirror.c_str())) {
        error += mirror + ": exists and is not a folder\n";
        return false;
    }
    std::vector<qp::DirEntry> found;
    if (!qp::find_files(join(mirror, "*").c_str(), &found)) {
        error += "cannot list " + mirror + "\n";
        return false;
    }
    if (!found.empty() && !qp::path_exists(join(mirror, "ls.txt").c_str())) {
        error += mirror + ": holds files but no mirror listing; refusing to replace it\n";
        return false;
    }
    return true;
}

// The updater takes a mirror whose version it cannot tell from the one it
// installed for the same version, and never updates; such a version must
// not go out over the mirror it would hide behind.
bool version_is_new(const std::string& mirror, const std::string& version, std::string& error) {
    FILE* file = qp::open_stream(join(mirror, "version.txt").c_str(), "r");
    if (!file)
        return true;
    char line[ls_txt_max_line + 2] = {0};
    const bool read = fgets(line, sizeof line, file) != nullptr;
    fclose(file);
    if (!read)
        return true;
    std::string current = line;
    while (!current.empty() && (current.back() == '\n' || current.back() == '\r'))
        current.pop_back();
    if (!versions_are_equal(current, version))
        return true;
    error += "the version \"" + version + "\" cannot be told from the mirror's version \"" +
             current +
             "\": the updater compares their leading numbers in single precision and would "
             "never update; choose a number that differs\n";
    return false;
}

bool build_mirror(const std::string& version, const std::string& source,
                  const source_map& entries, const std::string& target,
                  const publish_progress_C& progress, const publish_key_C* signing,
                  uint64_t publication, std::string& error) {
    mirror_signature_C signature;
    signature.publication = publication;
    signature.version = version;
    if (!qp::create_directory(target.c_str())) {
        error += "cannot create " + target + "\n";
        return false;
    }
    int file_count = 0;
    int64_t byte_count = 0;
    for (const auto& entry : entries)
        if (!entry.second.directory) {
            ++file_count;
            const int64_t size = file_size(join(source, entry.second.relative));
            if (size > 0)
                byte_count += size;
        }

    std::string listing = version + "\n";
    int files_done = 0;
    int64_t bytes_done = 0;
    for (const auto& entry : entries) {
        const std::string& name = entry.second.relative;
        // The mirror holds its files under the names the updaters ask the
        // FTP server for: the listing's code page 949 bytes.
        const std::string& listed = entry.first;
        const std::string placed = join(target, listed);
        if (entry.second.directory) {
            if (!qp::create_directory(placed.c_str())) {
                error += "cannot create " + placed + "\n";
                return false;
            }
            listing += ls_txt_directory_line(listed);
            continue;
        }
        // The digest is known only once the file is read.
        const std::string temporary = placed + ".gz.publishing";
        std::string md5_hex;
        qp::Sha256Digest sha256;
        int64_t plain_size = 0;
        if (!compress_file(join(source, name), temporary, md5_hex, sha256, plain_size)) {
            error += "cannot compress " + join(source, name) + "\n";
            return false;
        }
        const std::string entry_name = ls_txt_file_entry_name(listed, md5_hex);
        const std::string compressed = join(target, entry_name);
        if (!qp::move_file(temporary.c_str(), compressed.c_str())) {
            error += "cannot rename " + temporary + "\n";
            return false;
        }
        const int64_t size = file_size(compressed);
        if (size < 0 || size > INT32_MAX) {
            error += compressed + ": compressed size does not fit a listing\n";
            return false;
        }
        listing += ls_txt_file_line(entry_name, size);
        signature.files[entry_name] = sha256;
        ++files_done;
        bytes_done += plain_size;
        if (progress)
            progress(files_done, file_count, bytes_done, byte_count, name);
    }
    if (!write_whole(join(target, "ls.txt"), listing) ||
        !write_gzip(join(target, "ls_compressed.txt.gz"), listing) ||
        !write_whole(join(target, "version.txt"), version + "\n")) {
        error += "cannot write the listings in " + target + "\n";
        return false;
    }
    if (signing) {
        std::string text;
        if (!qp::sha256_of(listing.data(), listing.size(), &signature.listing) ||
            !sign_mirror_signature(signature, signing->private_key, signing->public_key,
                                   &text) ||
            !write_whole(join(target, mirror_signature_file_name), text)) {
            error += "cannot sign the mirror with this key\n";
            return false;
        }
    }
    return true;
}

// The publication number: the time of publication (UTC, as
// YYYYMMDDhhmmss), and always past the one the mirror holds, so that it
// grows from one publication to the next.
uint64_t next_publication(const std::string& mirror) {
    SYSTEMTIME now;
    qp::system_time(&now);
    uint64_t number = 0;
    for (int part : {int(now.wYear), int(now.wMonth), int(now.wDay), int(now.wHour),
                     int(now.wMinute), int(now.wSecond)})
        number = number * (number == 0 ? 1 : 100) + static_cast<uint64_t>(part);
    std::string previous;
    FILE* file = qp::open_stream(join(mirror, mirror_signature_file_name).c_str(), "rb");
    if (file) {
        char buffer[256];
        const size_t got = fread(buffer, 1, sizeof buffer, file);
        fclose(file);
        previous.assign(buffer, got);
    }
    const uint64_t held = publication_of(previous);
    return number > held ? number : held + 1;
}

} // namespace

bool publish_mirror(const std::string& version, const std::string& source,
                    const std::string& mirror, const publish_progress_C& progress,
                    std::string& error) {
    return publish_mirror(version, source, mirror, progress, nullptr, error);
}

bool publish_mirror(const std::string& version, const std::string& source,
                    const std::string& mirror, const publish_progress_C& progress,
                    const publish_key_C* signing, std::string& error) {
    if (version.empty() || version.find_first_of("\r\n") != std::string::npos ||
        static_cast<int>(version.size()) > ls_txt_max_line) {
        error += "the version must be one non-empty line of at most 511 characters\n";
        return false;
    }
    if (!qp::is_directory(source.c_str())) {
        error += source + ": not a folder\n";
        return false;
    }
    if (mirror.empty() || !may_replace(mirror, error) || !version_is_new(mirror, version, error))
        return false;
    source_map entries;
    if (!walk_source(source, "", entries, error))
        return false;

    const std::string building = mirror + ".publishing";
    const std::string previous = mirror + ".previous";
    // Leftovers of an interrupted run of this tool.
    if (qp::path_exists(building.c_str()))
        remove_tree(building);
    if (qp::path_exists(previous.c_str()))
        remove_tree(previous);

    const uint64_t publication = signing ? next_publication(mirror) : 0;
    if (!build_mirror(version, source, entries, building, progress, signing, publication,
                      error)) {
        remove_tree(building);
        return false;
    }
    const bool had_mirror = qp::path_exists(mirror.c_str());
    if (had_mirror && !qp::move_file(mirror.c_str(), previous.c_str())) {
        error += "cannot move the old mirror " + mirror + " aside\n";
        remove_tree(building);
        return false;
    }
    if (!qp::move_file(building.c_str(), mirror.c_str())) {
        error += "cannot move " + building + " into place\n";
        if (had_mirror)
            qp::move_file(previous.c_str(), mirror.c_str());
        remove_tree(building);
        return false;
    }
    if (had_mirror && !remove_tree(previous))
        error += "the old mirror stays in " + previous + "\n";
    return true;
}

bool make_publisher_keys(const std::string& key_file, std::string& error) {
    const std::string public_file = key_file + ".pub";
    if (qp::path_exists(key_file.c_str()) || qp::path_exists(public_file.c_str())) {
        error += key_file + " or " + public_file + " exists already; a key is never replaced\n";
        return false;
    }
    publish_key_C key;
    if (!qp::make_key_pair(&key.private_key, &key.public_key)) {
        error += "the system could not make a key pair\n";
        return false;
    }
    // Nobody but the owner may read the private key, from its first byte on.
    const bool written = write_whole(key_file, "") && qp::restrict_to_owner(key_file.c_str()) &&
                         write_whole(key_file, private_key_text(key.private_key, key.public_key)) &&
                         write_whole(public_file, public_key_text(key.public_key));
    if (!written) {
        qp::delete_file(key_file.c_str());
        qp::delete_file(public_file.c_str());
        error += "cannot write " + key_file + " and " + public_file + "\n";
    }
    return written;
}

bool read_publisher_key(const std::string& key_file, publish_key_C* key, std::string& error) {
    std::string text;
    if (!qp::read_whole_file(key_file.c_str(), 1024, &text) ||
        !read_private_key(text, &key->private_key, &key->public_key)) {
        error += key_file + ": not a private key made by \"quill-publish keygen\"\n";
        return false;
    }
    return true;
}
