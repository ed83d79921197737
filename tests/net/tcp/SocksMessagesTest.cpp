// The SOCKS corner cases that a scripted proxy cannot easily reach: field
// limits, zero bytes, the largest port, and reply lengths by address type.
#include <gtest/gtest.h>

#include "net/stack/IdException.h"
#include "net/tcp/SocksMessages.h"
#include "tests/support/FakeSocksProxy.h"

namespace {

struct Layout {
    const char* name;
    std::string built;
    std::string wire;
};

void PrintTo(const Layout& row, std::ostream* out) {
    *out << row.name;
}

class SocksRequestLayout : public testing::TestWithParam<Layout> {};

TEST_P(SocksRequestLayout, IsByteForByte) {
    EXPECT_EQ(GetParam().built, GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SocksRequestLayout,
    testing::Values(Layout{"Socks4UserIdEndsAtZero", Socks4Request(80, 0, std::string("ab\0cd", 5)),
                           Bytes({4, 1, 0, 80, 0, 0, 0, 0, 'a', 'b', 0})},
                    Layout{"Socks5AuthEmpty", Socks5AuthRequest("", ""), Bytes({1, 0, 0})},
                    Layout{"Socks5ConnectDotted", Socks5ConnectRequest("1.2.3.4", 65535),
                           Bytes({5, 1, 0, 3, 7, '1', '.', '2', '.', '3', '.', '4', 0xFF, 0xFF})}),
    [](const testing::TestParamInfo<Layout>& info) { return info.param.name; });

TEST(SocksRequestLimits, LongFieldsAreCutAt255Bytes) {
    const std::string longName(300, 'u');
    EXPECT_EQ(Socks4Request(1, 0, longName).size(), 8u + 255u + 1u);
    const std::string auth = Socks5AuthRequest(longName, longName);
    ASSERT_EQ(auth.size(), 1u + 2u * (1u + 255u));
    EXPECT_EQ(static_cast<unsigned char>(auth[1]), 255);
    EXPECT_EQ(static_cast<unsigned char>(auth[257]), 255);
}

TEST(SocksRequestLimits, TargetNamesThatCannotBeSentAsGivenAreRefused) {
    EXPECT_EQ(Socks5ConnectRequest(std::string(255, 'h'), 1).size(), 4u + 1u + 255u + 2u);
    EXPECT_THROW(Socks5ConnectRequest(std::string(256, 'h'), 1), EIdSocksError);
    EXPECT_THROW(Socks4ARequest(1, "", std::string("a\0b", 3)), EIdSocksError);
}

struct Remainder {
    uint8_t addressType;
    uint8_t firstAddressByte;
    int32_t more;
};

void PrintTo(const Remainder& row, std::ostream* out) {
    *out << "type " << int(row.addressType) << " then " << int(row.firstAddressByte);
}

class Socks5ReplyLength : public testing::TestWithParam<Remainder> {};

TEST_P(Socks5ReplyLength, FollowsTheAddressType) {
    const uint8_t head[Socks5ReplyHeadSize] = {5, 0, 0, GetParam().addressType,
                                               GetParam().firstAddressByte};
    EXPECT_EQ(Socks5ReplyRemainder(head), GetParam().more);
}

INSTANTIATE_TEST_SUITE_P(AddressTypes, Socks5ReplyLength,
                         testing::Values(Remainder{1, 127, 5}, Remainder{3, 9, 11},
                                         Remainder{3, 0, 2}, Remainder{3, 255, 257},
                                         Remainder{4, 0x20, 17}, Remainder{7, 0, 2}));

} // namespace
