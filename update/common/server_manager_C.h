// The random choice of a mirror: every mirror of the server list is tried
// once, in random order, before any is tried again, and a mirror that works
// is kept until a connection to it fails.
#ifndef QUILL_UPDATE_COMMON_SERVER_MANAGER_C_H
#define QUILL_UPDATE_COMMON_SERVER_MANAGER_C_H

#include <vector>

class update_run_C;

class server_manager_C {
public:
    // Draws the first shake; the manager is usable once it succeeded.
    void init(update_run_C& run);
    // Pushes every index of the server list once, in an order drawn with
    // rand(). False when indices are still waiting on the stack.
    bool generate_one_shake(update_run_C& run);
    // The mirror to use: the current one while the last connection worked,
    // else the next of the shake (a new shake once it ran out). -1 when the
    // manager is not initialised or the list is empty.
    int gime_random_server(update_run_C& run);

    // Back to the state before init (for a new run).
    void reset();

private:
    bool initialised_ = false;
    std::vector<int> stack_;
};

#endif
