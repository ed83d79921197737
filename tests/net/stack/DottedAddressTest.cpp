// The dotted-address rules, host resolution and the byte order of addresses.
#include <gtest/gtest.h>

#include <cstring>

#include "StackUser.h"
#include "net/stack/IdException.h"
#include "net/stack/IdStack.h"
#include "net/stack/SplitAtDelimiter.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "runtime/Exception.h"

namespace {

class DottedAddressTest : public testing::Test {
protected:
    TStackUser StackUser;
};

struct TDotted {
    const char* Text;
    bool Dotted;
};

class IsDottedAddressTest : public DottedAddressTest,
                            public testing::WithParamInterface<TDotted> {};

TEST_P(IsDottedAddressTest, FollowsTheFourPartRule) {
    EXPECT_EQ(GlobalStack->IsDottedAddress(GetParam().Text), GetParam().Dotted)
        << '"' << GetParam().Text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, IsDottedAddressTest,
                         testing::Values(TDotted{"192.168.0.1", true}, TDotted{"010.0.0.255", true},
                                         TDotted{"0.0.0.0", true}, TDotted{"255.255.255.255", true},
                                         TDotted{" 1.2.3.4", true}, TDotted{"$A.0.0.1", true},
                                         TDotted{"1.2.3", false}, TDotted{"1.2.3.4.5", false},
                                         TDotted{"256.1.1.1", false}, TDotted{"1.2.3.-1", false},
                                         TDotted{"a.b.c.d", false}, TDotted{"", false},
                                         TDotted{"1.2.3.4 ", false}, TDotted{"1..2.3", false},
                                         TDotted{"localhost", false}));

TEST_F(DottedAddressTest, LocalHostInAnyCaseIsTheLoopbackAddress) {
    for (const char* name : {"localhost", "LocalHost", "LOCALHOST"})
        EXPECT_EQ(GlobalStack->ResolveToDotted(name), "127.0.0.1") << name;
}

TEST_F(DottedAddressTest, DottedTextIsReturnedUnchanged) {
    EXPECT_EQ(GlobalStack->ResolveToDotted("192.168.0.1"), "192.168.0.1");
    EXPECT_EQ(GlobalStack->ResolveToDotted("010.0.0.255"), "010.0.0.255");
}

// Without a name service the answer is "try again" rather than "not found";
// either way it is a resolver code, which has no text.
TEST_F(DottedAddressTest, UnknownHostRaisesAResolverCodeWithoutText) {
    try {
        GlobalStack->ResolveToDotted("no-such-host.invalid");
        FAIL() << "resolved";
    } catch (const EIdSocketError& e) {
        EXPECT_GE(e.ErrorCode, Id_WSAHOST_NOT_FOUND);
        EXPECT_LE(e.ErrorCode, Id_WSANO_DATA);
        EXPECT_EQ(e.Message, "Socket Error # " + std::to_string(e.ErrorCode) + "\r\n");
    }
}

TEST_F(DottedAddressTest, FormatGivesDecimalPartsWithoutLeadingZeros) {
    EXPECT_EQ(GlobalStack->FormatDottedAddress({10, 0, 0, 1}), "10.0.0.1");
    EXPECT_EQ(GlobalStack->FormatDottedAddress({255, 0, 100, 9}), "255.0.100.9");
}

TEST_F(DottedAddressTest, ParseKeepsTheLowByteOfEachPartAndIgnoresAFifth) {
    EXPECT_EQ(GlobalStack->ParseDottedAddress("1.2.3.4.5"), (TIdIPv4Bytes{1, 2, 3, 4}));
    EXPECT_EQ(GlobalStack->ParseDottedAddress("300.010.0x10.255"), (TIdIPv4Bytes{44, 10, 16, 255}));
}

TEST_F(DottedAddressTest, ParseRaisesForAPartThatIsNoInteger) {
    try {
        GlobalStack->ParseDottedAddress("1.b.3.4");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'b' is not a valid integer value");
    }
}

TEST_F(DottedAddressTest, AddressValueIsInNetworkByteOrder) {
    const uint32_t value = GlobalStack->DottedAddressValue("127.0.0.1");
    uint8_t bytes[4];
    std::memcpy(bytes, &value, 4);
    EXPECT_EQ(bytes[0], 127);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(GlobalStack->NetToHostLong(value), 0x7F000001u);
}

TEST_F(DottedAddressTest, ServicePortIsTheNumberOrAnInvalidService) {
    EXPECT_EQ(GlobalStack->LookupServicePort("5556"), 5556);
    try {
        GlobalStack->LookupServicePort("no-such-service");
        FAIL() << "no exception";
    } catch (const EIdInvalidServiceName& e) {
        EXPECT_EQ(e.Message, "no-such-service is not a valid service.");
    }
}

struct TSplit {
    const char* Input;
    const char* Delimiter;
    const char* Head;
    const char* Rest;
};

class SplitAtDelimiterTest : public testing::TestWithParam<TSplit> {};

TEST_P(SplitAtDelimiterTest, CutsAtTheFirstDelimiter) {
    std::string input = GetParam().Input;
    EXPECT_EQ(SplitAtDelimiter(input, GetParam().Delimiter, true), GetParam().Head);
    EXPECT_EQ(input, GetParam().Rest);
    std::string kept = GetParam().Input;
    EXPECT_EQ(SplitAtDelimiter(kept, GetParam().Delimiter, false), GetParam().Head);
    EXPECT_EQ(kept, GetParam().Input);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitAtDelimiterTest,
                         testing::Values(TSplit{"1.2.3", ".", "1", "2.3"},
                                         TSplit{"abc", ".", "abc", ""}, TSplit{".x", ".", "", "x"},
                                         TSplit{"a\r\nb\r\n", "\r\n", "a", "b\r\n"},
                                         TSplit{"", ".", "", ""}, TSplit{"abc", "", "abc", ""}));

TEST(SplitAtDelimiter, SearchesPlainBytesIncludingZero) {
    std::string input("a\0b\xC0\0c", 6);
    EXPECT_EQ(SplitAtDelimiter(input, std::string(1, '\0')), "a");
    EXPECT_EQ(SplitAtDelimiter(input, std::string(1, '\0')), "b\xC0");
    EXPECT_EQ(input, "c");
}

} // namespace
