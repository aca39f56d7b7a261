// The getter and setter pairs of the game records.
//
// Every plain field of a record is read through Get<Field> and written
// through Set<Field>, and the game client is compiled against exactly those
// names and signatures. C++ cannot form a member's name from a field's, so
// the pair is written once here and each class names its fields; a field
// whose accessors break the pattern spells them out in its class.
#ifndef QUILLNTC_OBJECTS_ACCESSORS_H
#define QUILLNTC_OBJECTS_ACCESSORS_H

// clang-format off
// The usual pair: read from a const record, written by value.
#define QUILLNTC_FIELD(type, name) \
    type Get##name() const { return name; } \
    void Set##name(type value) { name = value; }

// The text and date fields: their getters were never const, and a const one
// would be another signature.
#define QUILLNTC_FIELD_NONCONST_GET(type, name) \
    type Get##name() { return name; } \
    void Set##name(type value) { name = value; }

// Read and written in place, by reference.
#define QUILLNTC_FIELD_BY_REF(type, name) \
    type& Get##name() { return name; } \
    void Set##name(type& value) { name = value; }
// clang-format on

#endif
