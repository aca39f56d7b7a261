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

CDRVector::CDRVector()
    : m_state(DR_INIT), m_pos(), m_dir(1.0f, 0.0f, 0.0f), m_speed(0.0f), m_yaw(0.0f), m_targetPos(),
      m_targetDir(1.0f, 0.0f, 0.0f), m_targetSpeed(0.0f), m_targetYaw(0.0f), m_followerPos(),
      m_followerDir(1.0f, 0.0f, 0.0f), m_followerSpeed(0.0f), m_followerYaw(0.0f) {}

CDRVector::~CDRVector() {}

CDRVector& CDRVector::operator=(const CDRVector& other) {
    m_pos = other.m_pos;
    m_dir = other.m_dir;
    m_speed = other.m_speed;
    m_yaw = other.m_yaw;
    m_targetPos = other.m_targetPos;
    m_targetDir = other.m_targetDir;
    m_targetSpeed = other.m_targetSpeed;
    m_targetYaw = other.m_targetYaw;
    m_followerPos = other.m_followerPos;
    m_followerDir = other.m_followerDir;
    m_followerSpeed = other.m_followerSpeed;
    m_followerYaw = other.m_followerYaw;
    return *this;
}

void CDRVector::SetTarget(const CNTVector& pos, const CNTVector& dir, float speed, float yaw) {
    m_targetPos = pos;
    m_targetDir = dir;
    m_targetSpeed = speed;
    m_targetYaw = yaw;
}

void CDRVector::GetTarget(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const {
    pos = m_targetPos;
    dir = m_targetDir;
    speed = m_targetSpeed;
    yaw = m_targetYaw;
}

void CDRVector::SetFollower(const CNTVector& pos, const CNTVector& dir, float speed, float yaw) {
    m_followerPos = pos;
    m_followerDir = dir;
    m_followerSpeed = speed;
    m_followerYaw = yaw;
}

void CDRVector::GetFollower(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const {
    pos = m_followerPos;
    dir = m_followerDir;
    speed = m_followerSpeed;
    yaw = m_followerYaw;
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
    CNTVector travel = m_followerDir;
    travel *= m_followerSpeed;
    travel *= dt;
    m_followerPos += travel;

    bool update;
    if (m_speed != m_followerSpeed) {
        update = true;
    } else {
        const float turn = m_yaw - m_followerYaw;
        const bool large_turn = turn >= kLargeTurn || turn <= -kLargeTurn;
        if (m_speed == 0.0f || large_turn) {
            update = large_turn;
        } else {
            // Drift on the ground only: the height follows the terrain on
            // every client anyway.
            const float dx = m_pos.x - m_followerPos.x;
            const float dz = m_pos.z - m_followerPos.z;
            if (dx == 0.0f && dz == 0.0f)
                update = false;
            else
                update = !(dx * dx + dz * dz < kSendDistanceSq);
        }
    }
    if (!update)
        return false;

    SetFollower(m_pos, m_dir, m_speed, m_yaw);
    m_state = DR_EXTRAPOLATE;
    return true;
}

void CDRVector::MoveRemote(float dt) {
    if (m_state == DR_NEWTARGET) {
        // The target was placed this frame; moving it on would count its
        // first frame twice.
        m_state = DR_FOLLOW;
    } else {
        CNTVector travel = m_targetDir;
        travel *= m_targetSpeed;
        travel *= dt;
        m_targetPos += travel;
    }

    CNTVector gap = m_targetPos;
    gap -= m_followerPos;
    const float dist = sqrtf(gap.x * gap.x + gap.y * gap.y + gap.z * gap.z);
    if (dist > kDegenerate) {
        gap /= dist;
        m_followerDir = gap;
        if (dist > kSnapDistance) {
            // Too far behind to glide: a teleport or a long lag.
            m_followerPos = m_targetPos;
        } else {
            float step;
            if (m_targetSpeed != 0.0f) {
                step = dt * m_targetSpeed;
                m_followerSpeed = m_targetSpeed;
            } else {
                step = dt * m_followerSpeed;
                m_speed = m_followerSpeed;
            }
            // A step that truncates to 0 (also a NaN one) or that would pass
            // the target ends the chase where the follower stands, so that it
            // never overshoots and oscillates around the target.
            if (!(fabsf(step) >= kMinStep) || dist <= step) {
                m_state = DR_FOLLOW;
                m_followerSpeed = 0.0f;
                m_speed = 0.0f;
            } else {
                CNTVector travel = m_followerDir;
                travel *= step;
                m_followerPos += travel;
                const float h = GetHeading(m_followerDir);
                const float turn = h - m_yaw;
                if (turn > -kMaxTurnPerFrame && turn < kMaxTurnPerFrame)
                    m_yaw = h;
                if (m_targetSpeed == 0.0f)
                    m_state = DR_APPROACH;
            }
        }
    }
    m_pos = m_followerPos;
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
