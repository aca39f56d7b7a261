// The pending-reply machinery of the proxy, without a connection.
#include "protocol/CNTProxy.h"
#include "protocol/CNestedReply.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "transport/CNTPacket.h"

namespace {

class CountingProxy : public CNTProxy {
public:
    std::atomic<int> errors{0};
    void ProcessProxyError() override { ++errors; }
};

CNTPacket reply_packet(unsigned short sequence, unsigned long value) {
    CNTPacket packet;
    packet << static_cast<unsigned short>(10002) << static_cast<unsigned short>(0) << sequence
           << value;
    packet.SetBufPoint(0);
    unsigned short number = 0, length = 0, seq = 0;
    packet >> number >> length >> seq; // as the dispatcher leaves it
    return packet;
}

TEST(NestedReply, FirstRecordIsNumberOneAndNumbersRiseByOne) {
    CNTProxy proxy;
    CNestedReply* first = proxy.PreNestedRequestReply();
    CNestedReply* second = proxy.PreNestedRequestReply();
    EXPECT_EQ(1, first->GetSequence());
    EXPECT_EQ(2, second->GetSequence());
    EXPECT_EQ(2u, proxy.GetNestedReplyCount());
    EXPECT_EQ(3, proxy.GetNextSequence());
    // Records left in the table are the proxy's to free.
}

TEST(NestedReply, NumbersWrapFrom10000ToOne) {
    CNTProxy proxy;
    for (int i = 1; i <= 10000; ++i) {
        CNestedReply* reply = proxy.PreNestedRequestReply();
        ASSERT_EQ(i, reply->GetSequence());
        ASSERT_TRUE(proxy.DeliverNestedReply(reply->GetSequence(), reply_packet(1, 0)));
        ASSERT_TRUE(proxy.WaitForNestedRequestReply(reply));
        proxy.ReleaseNestedReply(reply);
    }
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
    CNestedReply* wrapped = proxy.PreNestedRequestReply();
    EXPECT_EQ(1, wrapped->GetSequence());
    EXPECT_EQ(2, proxy.GetNextSequence());
}

TEST(NestedReply, DeliveredReplyIsReadAfterItsSequenceNumber) {
    CNTProxy proxy;
    CNestedReply* reply = proxy.PreNestedRequestReply();
    const CNTPacket sent = reply_packet(reply->GetSequence(), 0xCAFEF00Dul);
    ASSERT_TRUE(proxy.DeliverNestedReply(reply->GetSequence(), sent));
    ASSERT_TRUE(proxy.WaitForNestedRequestReply(reply));
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
    CNTPacket& got = reply->GetReplyPacket();
    EXPECT_EQ(sent.GetBufSize(), got.GetBufSize());
    EXPECT_EQ(6, got.GetBufPoint());
    unsigned long value = 0;
    got >> value;
    EXPECT_EQ(0xCAFEF00Dul, value);
    proxy.ReleaseNestedReply(reply);
}

TEST(NestedReply, UnknownSequenceNumberChangesNothing) {
    CountingProxy proxy;
    proxy.SetReplyWaitTime(30);
    CNestedReply* reply = proxy.PreNestedRequestReply();
    EXPECT_FALSE(proxy.DeliverNestedReply(77, reply_packet(77, 1)));
    EXPECT_EQ(1u, proxy.GetNestedReplyCount());
    EXPECT_EQ(0, reply->GetReplyPacket().GetBufSize());
    EXPECT_FALSE(proxy.WaitForNestedRequestReply(reply)); // nothing was signalled
    proxy.ReleaseNestedReply(reply);
}

TEST(NestedReply, TimeOutReportsTheErrorAndKeepsTheRecordForALateReply) {
    CountingProxy proxy;
    EXPECT_EQ(20000u, proxy.GetReplyWaitTime());
    proxy.SetReplyWaitTime(40);
    CNestedReply* reply = proxy.PreNestedRequestReply();
    const unsigned short sequence = reply->GetSequence();
    EXPECT_FALSE(proxy.WaitForNestedRequestReply(reply));
    EXPECT_EQ(1, proxy.errors.load());
    proxy.ReleaseNestedReply(reply); // kept: it is still in the table
    EXPECT_EQ(1u, proxy.GetNestedReplyCount());
    // A late reply still lands in the (still valid) record.
    EXPECT_TRUE(proxy.DeliverNestedReply(sequence, reply_packet(sequence, 5)));
    // The proxy frees it at its destruction (LeakSanitizer watches).
}

TEST(NestedReply, NumberStillTakenLeavesTheNewRecordOutAndItsReplyGoesToTheOlder) {
    CountingProxy proxy;
    proxy.SetReplyWaitTime(20);
    CNestedReply* stale = proxy.PreNestedRequestReply(); // number 1, never answered
    EXPECT_FALSE(proxy.WaitForNestedRequestReply(stale));
    proxy.ReleaseNestedReply(stale);
    for (int i = 2; i <= 10000; ++i) {
        CNestedReply* reply = proxy.PreNestedRequestReply();
        proxy.DeliverNestedReply(reply->GetSequence(), reply_packet(reply->GetSequence(), 0));
        ASSERT_TRUE(proxy.WaitForNestedRequestReply(reply));
        proxy.ReleaseNestedReply(reply);
    }
    CNestedReply* fresh = proxy.PreNestedRequestReply();
    ASSERT_EQ(1, fresh->GetSequence());
    EXPECT_EQ(1u, proxy.GetNestedReplyCount()); // only the stale record
    EXPECT_TRUE(proxy.DeliverNestedReply(1, reply_packet(1, 9)));
    EXPECT_EQ(0, fresh->GetReplyPacket().GetBufSize());
    EXPECT_FALSE(proxy.WaitForNestedRequestReply(fresh));
    proxy.ReleaseNestedReply(fresh); // not in the table: freed here
    EXPECT_EQ(1u, proxy.GetNestedReplyCount());
}

TEST(NestedReply, ReplyFromAnotherThreadReleasesTheWaiter) {
    CNTProxy proxy;
    CNestedReply* reply = proxy.PreNestedRequestReply();
    const unsigned short sequence = reply->GetSequence();
    std::thread deliverer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        proxy.DeliverNestedReply(sequence, reply_packet(sequence, 42));
    });
    EXPECT_TRUE(proxy.WaitForNestedRequestReply(reply));
    unsigned long value = 0;
    reply->GetReplyPacket() >> value;
    EXPECT_EQ(42u, value);
    proxy.ReleaseNestedReply(reply);
    deliverer.join();
}

TEST(NestedReply, BaseSendSendsNothingAndSucceeds) {
    CNTProxy proxy;
    CNTPacket packet;
    packet << static_cast<unsigned short>(1007) << static_cast<unsigned short>(0);
    EXPECT_TRUE(proxy.Send(packet));
    EXPECT_EQ(nullptr, proxy.GetOwner());
}

} // namespace
