#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "transport/CNTPacket.h"

#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "support/packet_bytes.h"

namespace {

using quill_test::Bytes;
using quill_test::bytes_of;
using quill_test::started;

// Back to the first field, as a receiver sees the packet.
void rewind_to_fields(CNTPacket& packet) {
    packet.SetBufPoint(0);
    unsigned short message = 0, length = 0;
    packet >> message >> length;
}

void expect_vector(const CNTVector& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

// A remote object: follower at the origin, a target placed this frame.
CDRVector remote_with_target(const CNTVector& target, float target_speed, float follower_speed) {
    CDRVector dr;
    dr.SetTarget(target, CNTVector(1.0f, 0.0f, 0.0f), target_speed, 0.0f);
    dr.SetFollower(CNTVector(), CNTVector(1.0f, 0.0f, 0.0f), follower_speed, 0.0f);
    dr.SetDRState(DR_NEWTARGET);
    return dr;
}

// One of the object's movements as its getters give it. The out parameters
// start as NaN, which equals nothing, so a getter that leaves one unwritten
// fails every check of it.
struct Movement {
    CNTVector pos{NAN};
    CNTVector dir{NAN};
    float speed = NAN;
    float yaw = NAN;
};

Movement current_of(const CDRVector& dr) {
    return {dr.GetPos(), dr.GetVel(), dr.GetSpeed(), dr.GetAY()};
}

Movement target_of(const CDRVector& dr) {
    Movement m;
    dr.GetTarget(m.pos, m.dir, m.speed, m.yaw);
    return m;
}

Movement follower_of(const CDRVector& dr) {
    Movement m;
    dr.GetFollower(m.pos, m.dir, m.speed, m.yaw);
    return m;
}

void expect_movement(const Movement& m, const CNTVector& pos, const CNTVector& dir, float speed,
                     float yaw) {
    expect_vector(m.pos, pos.x, pos.y, pos.z);
    expect_vector(m.dir, dir.x, dir.y, dir.z);
    EXPECT_EQ(m.speed, speed);
    EXPECT_EQ(m.yaw, yaw);
}

CNTVector follower_pos(const CDRVector& dr) {
    return follower_of(dr).pos;
}

float follower_speed(const CDRVector& dr) {
    return follower_of(dr).speed;
}

TEST(CNTVector, ConstructionIndexingAndArithmetic) {
    expect_vector(CNTVector(), 0, 0, 0);
    expect_vector(CNTVector(2.5f), 2.5f, 2.5f, 2.5f);
    const float parts[3] = {1, 2, 3};
    expect_vector(CNTVector(parts), 1, 2, 3);

    CNTVector v(1, 2, 3);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], 2);
    EXPECT_EQ(v[2], 3);
    v[1] = 7;
    EXPECT_EQ(v.y, 7);
    // An index outside 0-2 stays inside the vector.
    EXPECT_EQ(&v[3], &v.z);
    EXPECT_EQ(&v[-1], &v.z);

    CNTVector a(1, 2, 3);
    a += CNTVector(1, 1, 1);
    expect_vector(a, 2, 3, 4);
    a -= CNTVector(2, 2, 2);
    expect_vector(a, 0, 1, 2);
    a *= CNTVector(3, 4, 5);
    expect_vector(a, 0, 4, 10);
    a /= CNTVector(1, 2, 5);
    expect_vector(a, 0, 2, 2);
    a *= 1.5f;
    expect_vector(a, 0, 3, 3);
    a /= 2.0f;
    expect_vector(a, 0, 1.5f, 1.5f);
}

TEST(CNTVector, WireCarriesXAndZOnly) {
    CNTPacket packet = started(1000);
    packet << CNTVector(1.0f, 99.0f, -2.5f);
    // 1.0f = 3F800000, -2.5f = C0200000; each float is its own scrambled chunk.
    EXPECT_EQ(bytes_of(packet), (Bytes{0xE8, 0x03, 12, 0, 0x00 ^ 0x6B, 0x00, 0x80, 0x3F,
                                       0x00 ^ 0x6B, 0x00, 0x20, 0xC0}));

    rewind_to_fields(packet);
    CNTVector in(5, 6, 7);
    packet >> in;
    expect_vector(in, 1.0f, 6.0f, -2.5f);
}

TEST(CDRVectorBasics, FreshValues) {
    CDRVector dr;
    EXPECT_EQ(dr.GetDRState(), DR_INIT);
    // All three movements start standing at the origin, facing along +x.
    const struct {
        const char* name;
        Movement movement;
    } movements[] = {
        {"current", current_of(dr)}, {"target", target_of(dr)}, {"follower", follower_of(dr)}};
    for (const auto& m : movements) {
        SCOPED_TRACE(m.name);
        expect_movement(m.movement, CNTVector(), CNTVector(1, 0, 0), 0, 0);
    }
    EXPECT_EQ(sizeof(DR_STATE), 4u);
}

TEST(CDRVectorBasics, AssignmentKeepsStateCopyTakesIt) {
    CDRVector source;
    source.SetDRState(DR_FOLLOW);
    source.SetPos(CNTVector(1, 2, 3));
    source.SetVel(CNTVector(0, 0, 1));
    source.SetSpeed(4);
    source.SetAY(5);
    source.SetTarget(CNTVector(6), CNTVector(0, 1, 0), 7, 8);
    source.SetFollower(CNTVector(9), CNTVector(0, 0, -1), 10, 11);

    CDRVector assigned;
    assigned.SetDRState(DR_EXTRAPOLATE);
    assigned = source;
    EXPECT_EQ(assigned.GetDRState(), DR_EXTRAPOLATE);

    const CDRVector copied(source);
    EXPECT_EQ(copied.GetDRState(), DR_FOLLOW);

    for (const CDRVector* dr : {static_cast<const CDRVector*>(&assigned), &copied}) {
        expect_movement(current_of(*dr), CNTVector(1, 2, 3), CNTVector(0, 0, 1), 4, 5);
        expect_movement(target_of(*dr), CNTVector(6), CNTVector(0, 1, 0), 7, 8);
        expect_vector(dr->GetTargetPos(), 6, 6, 6);
        expect_movement(follower_of(*dr), CNTVector(9), CNTVector(0, 0, -1), 10, 11);
    }
}

TEST(CDRVectorBasics, WireCarriesPositionYawSpeed) {
    CDRVector out;
    out.SetPos(CNTVector(1.0f, 50.0f, -2.5f));
    out.SetAY(90.0f);   // 42B40000
    out.SetSpeed(0.1f); // 3DCCCCCD
    CNTPacket packet = started(1000);
    packet << out;
    EXPECT_EQ(bytes_of(packet), (Bytes{0xE8,        0x03, 20,   0,    0x00 ^ 0x6B, 0x00, 0x80, 0x3F,
                                       0x00 ^ 0x6B, 0x00, 0x20, 0xC0, 0x00 ^ 0x6B, 0x00, 0xB4, 0x42,
                                       0xCD ^ 0x6B, 0xCC, 0xCC, 0x3D}));

    rewind_to_fields(packet);
    CDRVector in;
    in.SetDRState(DR_APPROACH);
    in.SetPos(CNTVector(0.0f, 7.0f, 0.0f));
    in.SetVel(CNTVector(0, 0, 1));
    in.SetTarget(CNTVector(3), CNTVector(0, 1, 0), 4, 5);
    in.SetFollower(CNTVector(6), CNTVector(0, 0, -1), 7, 8);
    packet >> in;
    expect_vector(in.GetPos(), 1.0f, 7.0f, -2.5f);
    EXPECT_EQ(in.GetAY(), 90.0f);
    EXPECT_EQ(in.GetSpeed(), 0.1f);
    EXPECT_EQ(in.GetDRState(), DR_APPROACH);
    expect_vector(in.GetVel(), 0, 0, 1);
    expect_vector(in.GetTargetPos(), 3, 3, 3);
    expect_vector(follower_pos(in), 6, 6, 6);
    EXPECT_EQ(follower_speed(in), 7);
}

TEST(CDRVectorOwn, StandingObjectSendsOnlyOnLargeTurn) {
    CDRVector dr;
    for (float dt : {0.0f, 0.016f, 1.0f, 1000.0f})
        EXPECT_FALSE(dr.Move(dt, 0)) << dt;
    // Standing still, a position change alone is no reason to send.
    dr.SetPos(CNTVector(500, 0, 500));
    EXPECT_FALSE(dr.Move(1, 0));

    dr.SetAY(19.9f);
    EXPECT_FALSE(dr.Move(1, 0));
    dr.SetAY(-19.9f);
    EXPECT_FALSE(dr.Move(1, 0));
    EXPECT_EQ(dr.GetDRState(), DR_INIT);

    dr.SetAY(20.0f);
    EXPECT_TRUE(dr.Move(1, 0));
    EXPECT_EQ(dr.GetDRState(), DR_EXTRAPOLATE);
    EXPECT_FALSE(dr.Move(1, 0));
    dr.SetAY(0.0f);
    EXPECT_TRUE(dr.Move(1, 0)) << "a turn of -20 is large too";
}

TEST(CDRVectorOwn, SpeedChangeSendsOnceAndFollowerTakesOver) {
    CDRVector dr;
    dr.SetPos(CNTVector(10, 20, 30));
    dr.SetVel(CNTVector(0, 0, 1));
    dr.SetAY(3);
    dr.SetSpeed(5);
    EXPECT_TRUE(dr.Move(0, 0));
    EXPECT_FALSE(dr.Move(0, 0));
    expect_movement(follower_of(dr), CNTVector(10, 20, 30), CNTVector(0, 0, 1), 5, 3);
}

TEST(CDRVectorOwn, GroundDriftOf100Sends) {
    CDRVector dr;
    dr.SetSpeed(10);
    ASSERT_TRUE(dr.Move(0, 0));
    dr.SetPos(CNTVector(99.9f, 0, 0));
    EXPECT_FALSE(dr.Move(0, 0));
    // Height is not part of the drift.
    dr.SetPos(CNTVector(0, 5000, 0));
    EXPECT_FALSE(dr.Move(0, 0));
    dr.SetPos(CNTVector(60, 0, 80));
    EXPECT_TRUE(dr.Move(0, 0));
    expect_vector(follower_pos(dr), 60, 0, 80);
}

TEST(CDRVectorOwn, FollowerExtrapolatesWhatWasSent) {
    CDRVector dr;
    dr.SetVel(CNTVector(0, 0, 1));
    dr.SetSpeed(10);
    ASSERT_TRUE(dr.Move(0, 0));
    // The true object stops where it is while the follower runs on.
    EXPECT_FALSE(dr.Move(5, 0));
    expect_vector(follower_pos(dr), 0, 0, 50);
    EXPECT_FALSE(dr.Move(4.9f, 0));
    EXPECT_TRUE(dr.Move(0.2f, 0));
    expect_vector(follower_pos(dr), 0, 0, 0);
}

TEST(CDRVectorRemote, SnapBeyond350StepAt350) {
    CDRVector distant = remote_with_target(CNTVector(351, 0, 0), 10, 0);
    EXPECT_FALSE(distant.Move(1, 0));
    expect_vector(distant.GetPos(), 351, 0, 0);
    expect_vector(follower_pos(distant), 351, 0, 0);
    EXPECT_EQ(distant.GetDRState(), DR_FOLLOW);

    CDRVector close_by = remote_with_target(CNTVector(350, 0, 0), 10, 0);
    EXPECT_FALSE(close_by.Move(1, 0));
    // A new target is not moved in its first frame; the follower steps 10.
    expect_vector(close_by.GetTargetPos(), 350, 0, 0);
    expect_vector(close_by.GetPos(), 10, 0, 0);
    EXPECT_EQ(follower_speed(close_by), 10);
    EXPECT_EQ(close_by.GetDRState(), DR_FOLLOW);

    // Following from then on, the target moves by its own velocity.
    EXPECT_FALSE(close_by.Move(1, 0));
    expect_vector(close_by.GetTargetPos(), 360, 0, 0);
    expect_vector(close_by.GetPos(), 20, 0, 0);
}

TEST(CDRVectorRemote, StepBelowOneStopsAtOnce) {
    CDRVector dr = remote_with_target(CNTVector(100, 0, 0), 9, 9);
    dr.SetSpeed(9);
    EXPECT_FALSE(dr.Move(0.1f, 0));
    expect_vector(follower_pos(dr), 0, 0, 0);
    expect_vector(dr.GetPos(), 0, 0, 0);
    EXPECT_EQ(follower_speed(dr), 0);
    EXPECT_EQ(dr.GetSpeed(), 0);
    EXPECT_EQ(dr.GetDRState(), DR_FOLLOW);
}

TEST(CDRVectorRemote, TargetWithinOneStepStopsWithoutJumping) {
    CDRVector dr = remote_with_target(CNTVector(5, 0, 0), 10, 0);
    dr.SetSpeed(10);
    EXPECT_FALSE(dr.Move(1, 0));
    expect_vector(dr.GetPos(), 0, 0, 0);
    EXPECT_EQ(dr.GetSpeed(), 0);
    EXPECT_EQ(follower_speed(dr), 0);
}

TEST(CDRVectorRemote, ApproachStandingTargetThenStop) {
    CDRVector dr = remote_with_target(CNTVector(0, 0, 100), 0, 10);
    EXPECT_FALSE(dr.Move(1, 0));
    EXPECT_EQ(dr.GetDRState(), DR_APPROACH);
    EXPECT_EQ(dr.GetSpeed(), 10);
    expect_vector(dr.GetPos(), 0, 0, 10);
    for (int frame = 0; frame < 8; ++frame)
        dr.Move(1, 0);
    expect_vector(dr.GetPos(), 0, 0, 90);
    EXPECT_EQ(dr.GetDRState(), DR_APPROACH);
    // 10 left with a step of 10: stop short rather than overshoot.
    dr.Move(1, 0);
    expect_vector(dr.GetPos(), 0, 0, 90);
    EXPECT_EQ(dr.GetDRState(), DR_FOLLOW);
    EXPECT_EQ(dr.GetSpeed(), 0);
    EXPECT_EQ(follower_speed(dr), 0);
    // Standing on top of the target changes nothing.
    CDRVector on = remote_with_target(CNTVector(), 0, 10);
    on.SetSpeed(3);
    on.Move(1, 0);
    EXPECT_EQ(on.GetSpeed(), 3);
    EXPECT_EQ(follower_speed(on), 10);
}

TEST(CDRVectorRemote, YawFollowsTheChaseUnlessTheTurnIsSharp) {
    CDRVector east = remote_with_target(CNTVector(100, 0, 0), 10, 0);
    east.SetAY(45);
    east.Move(1, 0);
    EXPECT_NEAR(east.GetAY(), 90.0f, 0.001f);

    CDRVector west = remote_with_target(CNTVector(-100, 0, 0), 10, 0);
    west.SetAY(-45);
    west.Move(1, 0);
    EXPECT_NEAR(west.GetAY(), -90.0f, 0.001f);

    // A turn of 90 or more in one frame is not shown.
    CDRVector back = remote_with_target(CNTVector(-100, 0, 0), 10, 0);
    back.SetAY(90);
    back.Move(1, 0);
    EXPECT_EQ(back.GetAY(), 90);
    expect_vector(back.GetPos(), -10, 0, 0);
}

TEST(CDRVectorHeading, DirectionsAndClamp) {
    EXPECT_EQ(CDRVector::GetHeading(CNTVector(0, 0, 1)), 0.0f);
    EXPECT_NEAR(CDRVector::GetHeading(CNTVector(0, 0, -1)), 180.0f, 0.001f);
    EXPECT_NEAR(CDRVector::GetHeading(CNTVector(1, 0, 0)), 90.0f, 0.001f);
    EXPECT_NEAR(CDRVector::GetHeading(CNTVector(-1, 0, 0)), -90.0f, 0.001f);
    const float s = sqrtf(0.5f);
    EXPECT_NEAR(CDRVector::GetHeading(CNTVector(-s, 0, s)), -45.0f, 0.001f);
    // A z a rounding step past 1 must still give a heading, not NaN.
    EXPECT_EQ(CDRVector::GetHeading(CNTVector(0, 0, nextafterf(1.0f, 2.0f))), 0.0f);
    const float behind = CDRVector::GetHeading(CNTVector(-0.0001f, 0, nextafterf(-1.0f, -2.0f)));
    EXPECT_FALSE(isnan(behind));
    EXPECT_NEAR(behind, -180.0f, 0.001f);
}

} // namespace
