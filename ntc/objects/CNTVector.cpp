#include "objects/CNTVector.h"

#include "transport/CNTPacket.h"

float& CNTVector::operator[](int index) {
    switch (index) {
    case 0:
        return x;
    case 1:
        return y;
    default:
        return z;
    }
}

const float& CNTVector::operator[](int index) const {
    return const_cast<CNTVector&>(*this)[index];
}

CNTVector& CNTVector::operator+=(const CNTVector& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

CNTVector& CNTVector::operator-=(const CNTVector& other) {
    x -= other.x;
    y -= other.y;
    z -= other.z;
    return *this;
}

CNTVector& CNTVector::operator*=(const CNTVector& other) {
    x *= other.x;
    y *= other.y;
    z *= other.z;
    return *this;
}

CNTVector& CNTVector::operator/=(const CNTVector& other) {
    x /= other.x;
    y /= other.y;
    z /= other.z;
    return *this;
}

CNTVector& CNTVector::operator*=(float factor) {
    x *= factor;
    y *= factor;
    z *= factor;
    return *this;
}

CNTVector& CNTVector::operator/=(float divisor) {
    x /= divisor;
    y /= divisor;
    z /= divisor;
    return *this;
}

CNTPacket& operator<<(CNTPacket& packet, const CNTVector& vector) {
    return packet << vector.x << vector.z;
}

CNTPacket& operator>>(CNTPacket& packet, CNTVector& vector) {
    return packet >> vector.x >> vector.z;
}
