#include "objects/CDRVector.h"

#include <math.h>

#include "transport/CNTPacket.h"

static_assert(sizeof(DR_STATE) == 4, "the state is kept in 32 bits");

namespace {

// Distances are in the units of the game's positions, angles in degrees.
const float kLargeTurn = 20.0f;         // a yaw change that forces a message
const float kSendDistanceSq = 10000.0f; // ground drift of 100 that forces a message
const float kSnapDistance = 350.0f;     // beyond this the follower jumps to the target
const float kMinStep = 1.0f;            // a shorter step stops the follower
const float kDegenerate = 0.000001f;    // follower and target count as one point
const float kMaxTurnPerFrame = 90.0f;   // a sharper turn keeps the old yaw on screen

// 1/pi as the single-precision value the headings have always used.
const float kInvPi = 0.31830987f;

} // namespace

float CDRVector::GetHeading(const CNTVector& dir) {
    // A compiler that keeps extended precision or fuses multiply-adds can
    // normalise a direction a hair outside [-1, 1]; acos would give NaN and
    // the turn would be silently dropped.
    float z = dir.z;
    if (z > 1.0f)
        z = 1.0f;
    else if (z < -1.0f)
        z = -1.0f;
    float h = acosf(z) * 180.0f * kInvPi;
    if (dir.x < 0.0f)
        h = -h;
    return h;
}

// All three movements start standing at the origin, facing along +x.
CDRVector::CDRVector()
    : m_state(DR_INIT), m_current{CNTVector(), CNTVector(1.0f, 0.0f, 0.0f), 0.0f, 0.0f},
      m_target(m_current), m_follower(m_current) {
    // The game client was built against the movements as four plain fields
    // each; a movement must keep their size, with no padding between them.
    static_assert(sizeof(Motion) == 2 * sizeof(CNTVector) + 2 * sizeof(float),
                  "a movement is exactly its four fields");
}

CDRVector::~CDRVector() {}

CDRVector& CDRVector::operator=(const CDRVector& other) {
    m_current = other.m_current;
    m_target = other.m_target;
    m_follower = other.m_follower;
    return *this;
}

void CDRVector::SetTarget(const CNTVector& pos, const CNTVector& dir, float speed, float yaw) {
    m_target.Set(pos, dir, speed, yaw);
}

void CDRVector::GetTarget(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const {
    m_target.Get(pos, dir, speed, yaw);
}

void CDRVector::SetFollower(const CNTVector& pos, const CNTVector& dir, float speed, float yaw) {
    m_follower.Set(pos, dir, speed, yaw);
}

void CDRVector::GetFollower(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const {
    m_follower.Get(pos, dir, speed, yaw);
}

bool CDRVector::Move(float dt, float /*unused*/) {
    switch (m_state) {
    case DR_FOLLOW:
    case DR_NEWTARGET:
    case DR_APPROACH:
        MoveRemote(dt);
        return false;
    default:
        return MoveOwn(dt);
    }
}

bool CDRVector::MoveOwn(float dt) {
    m_follower.Advance(dt);

    bool update;
    if (m_current.speed != m_follower.speed) {
        update = true;
    } else {
        const float turn = m_current.yaw - m_follower.yaw;
        const bool large_turn = turn >= kLargeTurn || turn <= -kLargeTurn;
        if (m_current.speed == 0.0f || large_turn) {
            update = large_turn;
        } else {
            // Drift on the ground only: the height follows the terrain on
            // every client anyway.
            const float dx = m_current.pos.x - m_follower.pos.x;
            const float dz = m_current.pos.z - m_follower.pos.z;
            if (dx == 0.0f && dz == 0.0f)
                update = false;
            else
                update = !(dx * dx + dz * dz < kSendDistanceSq);
        }
    }
    if (!update)
        return false;

    m_follower = m_current;
    m_state = DR_EXTRAPOLATE;
    return true;
}

void CDRVector::MoveRemote(float dt) {
    if (m_state == DR_NEWTARGET) {
        // The target was placed this frame; moving it on would count its
        // first frame twice.
        m_state = DR_FOLLOW;
    } else {
        m_target.Advance(dt);
    }

    CNTVector gap = m_target.pos;
    gap -= m_follower.pos;
    const float dist = sqrtf(gap.x * gap.x + gap.y * gap.y + gap.z * gap.z);
    if (dist > kDegenerate) {
        gap /= dist;
        m_follower.dir = gap;
        if (dist > kSnapDistance) {
            // Too far behind to glide: a teleport or a long lag.
            m_follower.pos = m_target.pos;
        } else {
            float step;
            if (m_target.speed != 0.0f) {
                step = dt * m_target.speed;
                m_follower.speed = m_target.speed;
            } else {
                step = dt * m_follower.speed;
                m_current.speed = m_follower.speed;
            }
            // A step that truncates to 0 (also a NaN one) or that would pass
            // the target ends the chase where the follower stands, so that it
            // never overshoots and oscillates around the target.
            if (!(fabsf(step) >= kMinStep) || dist <= step) {
                m_state = DR_FOLLOW;
                m_follower.speed = 0.0f;
                m_current.speed = 0.0f;
            } else {
                CNTVector travel = m_follower.dir;
                travel *= step;
                m_follower.pos += travel;
                const float h = GetHeading(m_follower.dir);
                const float turn = h - m_current.yaw;
                if (turn > -kMaxTurnPerFrame && turn < kMaxTurnPerFrame)
                    m_current.yaw = h;
                if (m_target.speed == 0.0f)
                    m_state = DR_APPROACH;
            }
        }
    }
    m_current.pos = m_follower.pos;
}

CNTPacket& operator<<(CNTPacket& packet, const CDRVector& vector) {
    const CNTVector pos = vector.GetPos();
    const float yaw = vector.GetAY();
    const float speed = vector.GetSpeed();
    return packet << pos << yaw << speed;
}

CNTPacket& operator>>(CNTPacket& packet, CDRVector& vector) {
    // Start from the current values: a short packet leaves them as they were.
    CNTVector pos = vector.GetPos();
    float yaw = vector.GetAY();
    float speed = vector.GetSpeed();
    packet >> pos >> yaw >> speed;
    vector.SetPos(pos);
    vector.SetAY(yaw);
    vector.SetSpeed(speed);
    return packet;
}
