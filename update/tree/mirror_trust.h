// The updater's side of signed mirrors. A build that carries its
// publisher's public key acts on nothing a mirror serves before the mirror's
// "ls.sig" has shown it to be what the publisher signed:
//
//   - the version of "version.txt" and the reference listing's bytes must be
//     the signed ones, and the publication must not be older than the
//     newest this installation has installed ("ls_static.sig");
//   - every file to be placed is first downloaded into the staging folder
//     "ls_staged" and checked there, MD5 and SHA-256, before anything in the
//     installation is deleted or placed.
//
// A refusal logs its reason and ends the run: nothing is deleted, placed or
// started, and the run is not retried; nor is one whose checked files could
// not all be fetched, which has changed nothing either. A build without a key never calls
// any of this and works as it always has.
#ifndef QUILL_UPDATE_TREE_MIRROR_TRUST_H
#define QUILL_UPDATE_TREE_MIRROR_TRUST_H

#include <stdint.h>

#include <map>
#include <string>

#include "common/parcours.h"
#include "quill/platform/signature.h"
#include "tree/mirror_signature.h"

extern const char* const kept_signature_file_name; // "ls_static.sig"
extern const char* const staging_folder_name;      // "ls_staged"

class mirror_trust_C {
public:
    // The key of the publisher whose signatures this build requires.
    void require_signatures_of(const qp::PublicKey& public_key);
    bool required() const { return required_; }
    // True once a check refused the mirror, or the checked files could not
    // all be fetched: the run ended before it changed anything, and a second
    // run over a listing of the disk would mend nothing.
    bool ended_untouched() const { return ended_untouched_; }

    // Deletes what an interrupted run left in the staging folder (only the
    // files it names itself) and the folder when that empties it.
    void discard_staged(update_run_C& run);

    // Fetches "ls.sig" from the mirror in use and checks that it is the
    // publisher's, not older than what is installed, and signed for this
    // version (the first line of "version.txt").
    bool check_version(update_run_C& run, const std::string& version);
    // The same for the reference listing just fetched: its bytes, its
    // version, and a digest for every file it lists (names as the listing
    // map holds them).
    bool check_listing(update_run_C& run, const std::string& listing_path,
                       const std::string& version, const name_map_C& remote);

    // Downloads every file of remote that local lacks into the staging
    // folder and checks its content. False at the first file no mirror
    // delivers as signed; the staging folder is emptied then.
    bool stage_files(update_run_C& run, const name_map_C& remote, const name_map_C& local);
    // The staged copy of a listing entry ("" when there is none), and its
    // placing: moved to destination, then forgotten.
    std::string staged_copy(const std::string& entry) const;
    void forget_staged(const std::string& entry);

    // After a successful run: the checked signature becomes the installed
    // one, so that no older publication is taken again.
    bool keep_signature(update_run_C& run);

    // The publication of the installed signature, 0 when there is none.
    uint64_t installed_publication(update_run_C& run) const;

    // Back to a build without a key (for tests).
    void reset();

private:
    bool fetch_and_read(update_run_C& run, const char* caller);
    bool refuse(update_run_C& run, const char* caller, const std::string& reason);
    bool stop_untouched(update_run_C& run);

    bool required_ = false;
    bool ended_untouched_ = false;
    qp::PublicKey key_{};
    std::string text_;           // the checked "ls.sig", as fetched
    mirror_signature_C content_; // what it says, names as the listing map has them
    std::map<std::string, std::string> staged_; // entry -> staged copy
};

mirror_trust_C& mirror_trust();

#endif
