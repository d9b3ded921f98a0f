// The link-quality tally, fed by a link on a fake port in virtual time.
#include <gmock/gmock.h>

#include "LinkFixture.h"
#include "hart/LinkQuality.h"

namespace linktest {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

Bytes IdentityReply() {
    return Frame(5, ShortBody(0x06, 0, 0, 0, ExpandedIdentity(1, 2, 7, 4, 5, 6)));
}

class LinkQualityTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        m_link.SetObserver(&m_quality);
    }
    CLinkQuality m_quality{m_clock};
};

TEST_F(LinkQualityTest, CountsExchangesRetriesFailuresAndReplyTimes) {
    Bytes corrupt = IdentityReply();
    corrupt.back() ^= 0xFF;
    AnswerInTurn({corrupt, IdentityReply(), IdentityReply()});
    // A retried answer, a slower answer, then silence on both attempts.
    m_port.SetTurnaroundMs(100);
    EXPECT_TRUE(m_link.PollIdentity(0, 2));
    m_port.SetTurnaroundMs(300);
    EXPECT_TRUE(m_link.PollIdentity(0, 2));
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    // Cut short by a stop request: the run's end, not the line's failure.
    m_port.Wakeup().Signal();
    EXPECT_FALSE(m_link.PollIdentity(0, 2));

    EXPECT_EQ(m_quality.Exchanges(), 3u);
    EXPECT_EQ(m_quality.Answered(), 2u);
    EXPECT_EQ(m_quality.Retried(), 2u);
    EXPECT_THAT(m_quality.Errors(),
                ElementsAre(Pair(kLinkChecksumMismatch, 1u), Pair(kLinkNoReply, 2u)));
    // The whole reply arrives one turnaround after the request's last byte; the link lets
    // the line go 2 ms after that byte (its trailing key time, rounded up to the clock).
    const auto replies = m_quality.Replies();
    ASSERT_TRUE(replies);
    EXPECT_EQ(replies->minMs, 98u);
    EXPECT_EQ(replies->meanMs, 198u);
    EXPECT_EQ(replies->maxMs, 298u);
    EXPECT_EQ(LinkQualityLine(m_quality),
              "Link: 3 exchanges, 2 answered, 2 retried, errors: 1 checksum mismatch, 2 no reply; "
              "reply complete 98/198/298 ms after the request ended (min/mean/max)");
}

TEST_F(LinkQualityTest, ARunWithoutRepliesSaysSoWithoutTimes) {
    EXPECT_FALSE(m_link.PollIdentity(0, 1));
    EXPECT_FALSE(m_quality.Replies());
    EXPECT_EQ(LinkQualityLine(m_quality),
              "Link: 1 exchange, 0 answered, 0 retried, errors: 1 no reply");
}

}  // namespace
}  // namespace linktest
