// A first install of a synthetic tree (about 1,000 files, 100 MiB, mixed
// sizes, several folders) from a loopback FTP mirror filled by
// quill-publish, against "wget -r" of the same mirror followed by "gzip -d"
// of every compressed file; the local listing of the installed tree (the
// MD5 of every file) against "md5sum" of the same files; and the run that
// finds nothing to do. One round each: the first install is what it is.
// bench_first_install.py times the whole program on both builds against the
// same references; "--write-tree DIR" and "--write-small-tree DIR" give it
// the trees.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/settings.h"
#include "common/update_run_C.h"
#include "common/remote_records.h"
#include "net/mirror_choice.h"
#include "publish.h"
#include "quill/platform/file.h"
#include "support/ftp_server.h"
#include "tree/equalize.h"
#include "tree/ls_txt.h"
#include "tree/remote_listing.h"
#include "update/bench_files.h"

namespace {

const int kFileCount = 1000;
const uint64_t kTreeBytes = 100ull << 20;
const char* const kFolders[] = {"bin", "data", "data\\maps", "data\\maps\\tiles", "data\\sound",
                                "data\\text", "movies", "fonts"};

// Sizes from a few hundred bytes to several MiB, scaled to the tree size:
// most files small, a few large ones holding most of the bytes.
std::vector<uint64_t> file_sizes() {
    std::vector<uint64_t> sizes;
    uint64_t state = 12345;
    uint64_t total = 0;
    for (int i = 0; i < kFileCount; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const unsigned pick = static_cast<unsigned>(state >> 33) % 100;
        uint64_t size;
        if (pick < 70)
            size = 200 + (state >> 40) % (16 << 10);
        else if (pick < 95)
            size = (16 << 10) + (state >> 40) % (256 << 10);
        else
            size = (1 << 20) + (state >> 40) % (6 << 20);
        sizes.push_back(size);
        total += size;
    }
    for (uint64_t& size : sizes)
        size = size * kTreeBytes / total + 1;
    return sizes;
}

// The small-file tree: 500 files of 0.2 to 8 KB, where the cost of each
// file's connection, listing line and log lines outweighs its bytes.
const int kSmallFileCount = 500;

std::vector<uint64_t> small_file_sizes() {
    std::vector<uint64_t> sizes;
    uint64_t state = 54321;
    for (int i = 0; i < kSmallFileCount; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        sizes.push_back(200 + (state >> 33) % (8000 - 200 + 1));
    }
    return sizes;
}

bool write_files(const std::string& root, const std::vector<uint64_t>& sizes) {
    for (const char* folder : kFolders)
        if (!qp::create_directory((root + "\\" + folder).c_str()))
            return false;
    quill_bench::NoiseBytes noise(0x5eed);
    std::vector<unsigned char> content;
    for (size_t i = 0; i < sizes.size(); ++i) {
        content.resize(sizes[i]);
        // Half noise, half repeated text: deflate has work of both kinds.
        const size_t noisy = content.size() / 2;
        noise.fill(content.data(), noisy);
        for (size_t at = noisy; at < content.size(); ++at)
            content[at] = static_cast<unsigned char>("tile grass 12 34 stone 56\n"[at % 26]);
        const std::string name = root + "\\" + kFolders[i % 8] + "\\file" + std::to_string(i) +
                                 ".dat";
        FILE* file = qp::open_stream(name.c_str(), "wb");
        if (!file)
            return false;
        const bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
        if (fclose(file) != 0 || !written)
            return false;
    }
    return true;
}

bool write_tree(const std::string& root) {
    return write_files(root, file_sizes());
}

// One update as the updater runs it when no "ls_static.txt" is kept.
bool run_update(update_run_C& run) {
    bool connection_failed = false;
    if (!get_remote_ls_txt_file_CLEVER(run, connection_failed))
        return false;
    name_map_C remote, local;
    std::string version;
    run.remote_records.clear();
    if (!from_ls_txt_2_map_with_file_size(run, "ls_remote.txt", remote, run.remote_records,
                                          version))
        return false;
    if (!create_ls_txt_file(run, run.root_path, g_compressed_tree_name, local))
        return false;
    if (check_path_length(remote))
        return false;
    static placed_files_C placed;
    remember_listing(remote, placed);
    return delete_useless_local_files(run, local, remote, placed) &&
           delete_useless_local_folders(run, local, remote, placed) &&
           equalize_LOCAL_tree(run, remote, local);
}

void print_ratio(const char* title, const char* ours_name, double ours, const char* reference_name,
                 double reference, double target) {
    printf("\n%s\n", title);
    printf("  %-44s %8.3f s\n", ours_name, ours);
    printf("  %-44s %8.3f s\n", reference_name, reference);
    const double ratio = ours / reference;
    printf("  ratio of times: %.2fx the reference", ratio);
    if (target > 0)
        printf(" (aim: within %.2fx): %s", target, ratio <= target ? "met" : "NOT met");
    printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    // The same trees for the end-to-end benchmarks of the whole program.
    if (argc == 3 && (std::string(argv[1]) == "--write-tree" ||
                      std::string(argv[1]) == "--write-small-tree")) {
        const bool small = std::string(argv[1]) == "--write-small-tree";
        if (!qp::create_directory(argv[2]) ||
            !write_files(argv[2], small ? small_file_sizes() : file_sizes())) {
            fprintf(stderr, "cannot write the tree to %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    quill_bench::TempFolder base("quill-bench-install");
    const std::string source = base.file("source");
    const std::string mirror_folder = base.file("mirror");
    const std::string install = base.file("install");
    const std::string fetched = base.file("wget");
    qp::create_directory(source.c_str());
    qp::create_directory(install.c_str());
    qp::create_directory(fetched.c_str());

    printf("writing %d files, %llu MiB, to %s\n", kFileCount,
           static_cast<unsigned long long>(kTreeBytes >> 20), source.c_str());
    if (!write_tree(source)) {
        fprintf(stderr, "cannot write the source tree\n");
        return 1;
    }
    std::string error;
    if (!publish_mirror("1.0", source, mirror_folder, nullptr, error)) {
        fprintf(stderr, "quill-publish failed: %s", error.c_str());
        return 1;
    }
    quill_test::FtpServer mirror(mirror_folder);
    printf("mirror on %s\n", mirror.name().c_str());

    qp::set_current_directory(install.c_str());
    own_run_C<discarding_front_end_C> quiet(qp::current_directory());
    update_run_C& run = quiet.run;
    ftp_server_C server;
    server.Servername = mirror.name();
    server.Directory = "/";
    run.server_list.push_back(server);
    run.server_manager.init(run);

    bool installed = false;
    const double install_seconds = quill_bench::seconds_of([&] { installed = run_update(run); });
    if (!installed) {
        fprintf(stderr, "the install failed; see %s\\report.txt\n", install.c_str());
        return 1;
    }
    const std::string compare = "diff -r -q -x report.txt -x ls.txt -x ls_remote.txt '" + source +
                                "' '" + install + "' > /dev/null";
    if (system(compare.c_str()) != 0) {
        fprintf(stderr, "the installed tree differs from the source\n");
        return 1;
    }

    const std::string wget = "cd '" + fetched + "' && wget -q -r -nH ftp://" + mirror.name() +
                             "/ && find . -type f -name '*.gz.*' -exec sh -c 'for f; do gzip -dc "
                             "\"$f\" > \"${f%.gz.*}\" && rm \"$f\"; done' sh {} +";
    const double wget_seconds = quill_bench::seconds_of_command(wget);
    if (wget_seconds < 0) {
        fprintf(stderr, "wget -r or gzip -d failed\n");
        return 1;
    }

    name_map_C local;
    bool listed = false;
    const double listing_seconds = quill_bench::seconds_of(
        [&] { listed = create_ls_txt_file(run, run.root_path, g_compressed_tree_name, local); });
    const double md5sum_seconds = quill_bench::seconds_of_command(
        "cd '" + install + "' && find . -type f -name 'file*' -exec md5sum {} + > /dev/null");
    if (!listed || md5sum_seconds < 0) {
        fprintf(stderr, "the local listing or md5sum failed\n");
        return 1;
    }

    bool nothing_done = false;
    const double again_seconds = quill_bench::seconds_of([&] { nothing_done = run_update(run); });
    if (!nothing_done) {
        fprintf(stderr, "the run with nothing to do failed\n");
        return 1;
    }

    print_ratio("first install of the tree", "listing + equalisation from the mirror",
                install_seconds, "wget -r + gzip -d of every file", wget_seconds, 1.0);
    print_ratio("local listing of the installed tree", "create_ls_txt_file (MD5 of every file)",
                listing_seconds, "md5sum of the same files", md5sum_seconds, 0);
    print_ratio("run with nothing to do", "listing + equalisation, all present", again_seconds,
                "md5sum of the same files", md5sum_seconds, 0);
    print_ratio("run with nothing to do", "listing + equalisation, all present", again_seconds,
                "the first install", install_seconds, 0);

    run.log.close_log_file();
    qp::set_current_directory(base.path().c_str());
    return 0;
}
