// Copying a chosen set of a record's fields.
//
// The records do not copy all their fields: each class carries a fixed set
// on copy and on assignment. The set is a list of member pointers, so that
// a class names what it carries once and the copying itself is written
// here.
#ifndef QUILLNTC_OBJECTS_COPY_MEMBERS_H
#define QUILLNTC_OBJECTS_COPY_MEMBERS_H

#include <cstddef>

namespace ntc {

template <typename T> void assign_value(T& to, const T& from) {
    to = from;
}

// An array field is copied element by element.
template <typename T, std::size_t N> void assign_value(T (&to)[N], const T (&from)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        to[i] = from[i];
}

// Sets each listed member of `to` from `from`, in the order listed.
template <typename Record, typename... Members>
void copy_members(Record& to, const Record& from, Members... members) {
    (assign_value(to.*members, from.*members), ...);
}

} // namespace ntc

#endif
