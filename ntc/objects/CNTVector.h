// CNTVector: a position or direction in the game world.
//
// The ground is the x-z plane and y is the height. On the wire only x and z
// travel: the server keeps objects on the ground and the client finds the
// height from its terrain, so reading a vector leaves y as it was.
#ifndef QUILLNTC_CNTVECTOR_H
#define QUILLNTC_CNTVECTOR_H

#include "NTCExport.h"

class CNTPacket;

class QUILLNTC_API CNTVector {
public:
    CNTVector() : x(0.0f), y(0.0f), z(0.0f) {}
    // Explicit so that a stray float never turns into a vector by accident.
    explicit CNTVector(float all) : x(all), y(all), z(all) {}
    CNTVector(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
    explicit CNTVector(const float v[3]) : x(v[0]), y(v[1]), z(v[2]) {}

    CNTVector(const CNTVector& other) = default;
    CNTVector& operator=(const CNTVector& other) = default;

    // Components by index 0, 1, 2. Any other index gives z rather than a
    // stray reference into neighbouring memory.
    float& operator[](int index);
    const float& operator[](int index) const;

    CNTVector& operator+=(const CNTVector& other);
    CNTVector& operator-=(const CNTVector& other);
    // Component by component.
    CNTVector& operator*=(const CNTVector& other);
    CNTVector& operator/=(const CNTVector& other);
    CNTVector& operator*=(float factor);
    CNTVector& operator/=(float divisor);

    float x;
    float y;
    float z;
};

// x then z, each a 4-byte float.
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CNTVector& vector);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CNTVector& vector);

#endif
