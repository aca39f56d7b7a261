// CDRVector: the movement state of one object for dead reckoning.
//
// Two roles, chosen by the state. For the player's own avatar the follower
// is the movement as the server and the other clients extrapolate it from
// the last movement message; Move advances it and says when the true
// movement has drifted far enough that a new message must go out. For a
// remote object the target is the last movement received, extrapolated,
// and the follower is the position on screen, which chases the target so
// that corrections glide instead of jumping.
//
// The game client calls Move once per frame for every object; the library
// never does. The unit of dt is the client's, matching its speeds.
#ifndef QUILLNTC_CDRVECTOR_H
#define QUILLNTC_CDRVECTOR_H

#include "NTCExport.h"
#include "objects/CNTVector.h"

class CNTPacket;

enum DR_STATE : int {
    DR_INIT = 0,        // never moved; handled like DR_EXTRAPOLATE
    DR_EXTRAPOLATE = 1, // own object: the follower extrapolates what was sent
    DR_FOLLOW = 2,      // remote object: the follower chases a moving target
    DR_NEWTARGET = 3,   // a target was just received; the next Move starts following it
    DR_APPROACH = 4,    // the follower closes in on a target that stands still
};

class QUILLNTC_API CDRVector {
public:
    CDRVector();
    // Takes everything, the state included.
    CDRVector(const CDRVector& other) = default;
    // Takes everything but the state: an object that receives new movement
    // keeps its own role (own or remote).
    CDRVector& operator=(const CDRVector& other);
    virtual ~CDRVector();

    CNTVector GetPos() const { return m_current.pos; }
    void SetPos(const CNTVector& pos) { m_current.pos = pos; }
    // Unit direction of motion.
    CNTVector GetVel() const { return m_current.dir; }
    void SetVel(const CNTVector& dir) { m_current.dir = dir; }
    float GetSpeed() const { return m_current.speed; }
    void SetSpeed(float speed) { m_current.speed = speed; }
    // Heading in degrees: 0 along +z, positive towards +x.
    float GetAY() const { return m_current.yaw; }
    void SetAY(float yaw) { m_current.yaw = yaw; }
    DR_STATE GetDRState() const { return m_state; }
    void SetDRState(DR_STATE state) { m_state = state; }

    void SetTarget(const CNTVector& pos, const CNTVector& dir, float speed, float yaw);
    void GetTarget(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const;
    CNTVector GetTargetPos() const { return m_target.pos; }

    void SetFollower(const CNTVector& pos, const CNTVector& dir, float speed, float yaw);
    void GetFollower(CNTVector& pos, CNTVector& dir, float& speed, float& yaw) const;

    // One frame. Own object: true when the follower has fallen behind the
    // true movement and has been reset to it; the caller then sends the
    // movement. Remote object: moves the target and the follower on and
    // puts the position at the follower; always false. The second argument
    // is not used.
    bool Move(float dt, float unused);

    // Heading in degrees of a unit direction as Move shows it: 0 along +z,
    // positive towards +x, from -180 to 180. A z a rounding step outside
    // [-1, 1] counts as 1 or -1.
    static float GetHeading(const CNTVector& dir);

private:
    // One movement: where, which way, how fast, facing where. The object's
    // current movement, the target and the follower are each one.
    struct Motion {
        CNTVector pos;
        CNTVector dir;
        float speed;
        float yaw;

        // Inline, so that the library exports no more than it did.
        void Set(const CNTVector& to_pos, const CNTVector& to_dir, float to_speed, float to_yaw) {
            pos = to_pos;
            dir = to_dir;
            speed = to_speed;
            yaw = to_yaw;
        }
        void Get(CNTVector& out_pos, CNTVector& out_dir, float& out_speed, float& out_yaw) const {
            out_pos = pos;
            out_dir = dir;
            out_speed = speed;
            out_yaw = yaw;
        }
        // On along the direction at the speed for dt.
        void Advance(float dt) {
            CNTVector travel = dir;
            travel *= speed;
            travel *= dt;
            pos += travel;
        }
    };

    bool MoveOwn(float dt);
    void MoveRemote(float dt);

    DR_STATE m_state;
    Motion m_current;
    Motion m_target;
    Motion m_follower;
};

// Position (x and z), yaw, speed: four 4-byte floats. Reading sets exactly
// these; state, direction, target and follower stay as they were.
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CDRVector& vector);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CDRVector& vector);

#endif
