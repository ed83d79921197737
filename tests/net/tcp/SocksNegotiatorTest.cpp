// The SOCKS negotiator without a socket: every state it passes through, and
// that it takes only its reply's bytes, leaving the target's to the reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/stack/IdException.h"
#include "net/tcp/SocksNegotiator.h"

namespace {

using States = std::vector<TSocksState>;

struct Traced {
    explicit Traced(TSocksRequest request) : Negotiator(std::move(request)) {
        Negotiator.OnTransition = [this](TSocksState from, TSocksState to) {
            EXPECT_EQ(from, Seen.empty() ? TSocksState::Idle : Seen.back());
            Seen.push_back(to);
        };
        Negotiator.Start();
    }
    TSocksNegotiator Negotiator;
    States Seen;
};

TEST(SocksNegotiator, Socks5WithLoginPassesEveryStateAndLeavesTheTargetsBytes) {
    TSocksRequest request;
    request.Authentication = saUsernamePassword;
    request.Host = "gw";
    request.Port = 0x1234;
    request.UserID = "u";
    request.Password = "p";
    Traced t(request);
    EXPECT_EQ(t.Negotiator.TakeOutput(), std::string("\x05\x01\x02", 3));
    // Method reply, login reply, and a reply with a 2-byte name, then target data.
    const std::string replies("\x05\x02"
                              "\x01\x00"
                              "\x05\x00\x00\x03\x02"
                              "ab\x00\x50"
                              "data",
                              17);
    EXPECT_EQ(t.Negotiator.Feed(replies), 2u);
    EXPECT_EQ(t.Negotiator.TakeOutput(), std::string("\x01\x01u\x01p", 5));
    EXPECT_EQ(t.Negotiator.Feed(replies.substr(2)), 2u);
    EXPECT_EQ(t.Negotiator.TakeOutput(), std::string("\x05\x01\x00\x03\x02gw\x12\x34", 9));
    size_t at = 4;
    while (t.Negotiator.NeedsMore() && at < replies.size()) // one byte at a time
        at += t.Negotiator.Feed(replies.substr(at, 1));
    EXPECT_EQ(replies.substr(at), "data");
    EXPECT_EQ(t.Negotiator.Feed(replies.substr(at)), 0u);
    EXPECT_EQ(t.Seen, (States{TSocksState::Socks5MethodReply, TSocksState::Socks5AuthReply,
                              TSocksState::Socks5ReplyHead, TSocksState::Socks5ReplyRest,
                              TSocksState::Done}));
}

TEST(SocksNegotiator, ARefusalOrAMissingReplyEndsInFailedWithTheRightError) {
    TSocksRequest socks4;
    socks4.Version = svSocks4;
    Traced refused(socks4);
    refused.Negotiator.Feed(std::string("\x00\x5B\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(refused.Seen, (States{TSocksState::Socks4Reply, TSocksState::Failed}));
    EXPECT_THROW(std::rethrow_exception(refused.Negotiator.Error()), EIdSocksRequestFailed);

    Traced closed4(socks4); // SOCKS 4 passes the receive's own error on
    closed4.Negotiator.ReceiveFailed(std::make_exception_ptr(EIdConnClosedGracefully()));
    EXPECT_THROW(std::rethrow_exception(closed4.Negotiator.Error()), EIdConnClosedGracefully);

    Traced closed5{TSocksRequest{}}; // SOCKS 5 reports a proxy that did not respond
    closed5.Negotiator.ReceiveFailed(std::make_exception_ptr(EIdConnClosedGracefully()));
    EXPECT_THROW(std::rethrow_exception(closed5.Negotiator.Error()), EIdSocksServerRespondError);
    EXPECT_FALSE(closed5.Negotiator.NeedsMore());

    TSocksRequest zeroInName;
    zeroInName.Version = svSocks4A;
    zeroInName.Host = std::string("a\0b", 3);
    Traced unbuildable(zeroInName);
    EXPECT_EQ(unbuildable.Negotiator.TakeOutput(), "");
    EXPECT_EQ(unbuildable.Seen, States{TSocksState::Failed});
}

} // namespace
