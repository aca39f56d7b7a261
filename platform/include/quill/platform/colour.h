// A colour of the windows: the lamp, the progress bars and their
// backgrounds. The same three bytes on every system and in every program.
#ifndef QUILL_PLATFORM_COLOUR_H
#define QUILL_PLATFORM_COLOUR_H

namespace qp {

struct Colour {
    unsigned char red, green, blue;
};

inline bool operator==(const Colour& a, const Colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool operator!=(const Colour& a, const Colour& b) {
    return !(a == b);
}

} // namespace qp

#endif
