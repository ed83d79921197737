// The error texts users see in the log, and the check that turns a failed
// socket call into a socket error.
#include <gtest/gtest.h>

#include <thread>

#include "StackUser.h"
#include "net/stack/IdException.h"
#include "net/stack/IdStack.h"
#include "net/stack/winsock/WinsockBinding.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

struct TCodeText {
    int32_t Code;
    const char* Text;
};

class SocketErrorTextTest : public testing::TestWithParam<TCodeText> {
protected:
    TStackUser StackUser;
};

TEST_P(SocketErrorTextTest, IsNumberLineBreakAndText) {
    const TCodeText row = GetParam();
    EXPECT_EQ(GlobalStack->SocketErrorText(row.Code),
              "Socket Error # " + std::to_string(row.Code) + "\r\n" + row.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Listed, SocketErrorTextTest,
    testing::Values(
        TCodeText{10004, "Interrupted system call."}, TCodeText{10009, "Bad file number."},
        TCodeText{10013, "Access denied."}, TCodeText{10014, "Bad address."},
        TCodeText{10022, "Invalid argument."}, TCodeText{10024, "Too many open files."},
        TCodeText{10035, "Operation would block. "}, TCodeText{10036, "Operation now in progress."},
        TCodeText{10037, "Operation already in progress."},
        TCodeText{10038, "Socket operation on non-socket."},
        TCodeText{10039, "Destination address required."}, TCodeText{10040, "Message too long."},
        TCodeText{10041, "Protocol wrong type for socket."},
        TCodeText{10042, "Bad protocol option."}, TCodeText{10043, "Protocol not supported."},
        TCodeText{10044, "Socket type not supported."},
        TCodeText{10045, "Operation not supported on socket."},
        TCodeText{10046, "Protocol family not supported."},
        TCodeText{10047, "Address family not supported by protocol family."},
        TCodeText{10048, "Address already in use."},
        TCodeText{10049, "Cannot assign requested address."}, TCodeText{10050, "Network is down."},
        TCodeText{10051, "Network is unreachable."},
        TCodeText{10052, "Net dropped connection or reset."},
        TCodeText{10053, "Software caused connection abort."},
        TCodeText{10054, "Connection reset by peer."},
        TCodeText{10055, "No buffer space available."},
        TCodeText{10056, "Socket is already connected."},
        TCodeText{10057, "Socket is not connected."},
        TCodeText{10058, "Cannot send or receive after socket is closed."},
        TCodeText{10059, "Too many references, cannot splice."},
        TCodeText{10060, "Connection timed out."}, TCodeText{10061, "Connection refused."},
        TCodeText{10062, "Too many levels of symbolic links."},
        TCodeText{10063, "File name too long."}, TCodeText{10064, "Host is down."},
        TCodeText{10065, "No route to host."}, TCodeText{10066, "Directory not empty"}));

INSTANTIATE_TEST_SUITE_P(Unlisted, SocketErrorTextTest,
                         testing::Values(TCodeText{10005, ""}, TCodeText{10023, ""},
                                         TCodeText{10034, ""}, TCodeText{10067, ""},
                                         TCodeText{11001, ""}, TCodeText{0, ""},
                                         TCodeText{-1, ""}));

class CheckSocketResultTest : public testing::Test {
protected:
    TStackUser StackUser;
};

TEST_F(CheckSocketResultTest, AnythingButMinusOneIsNoFailure) {
    Winsock.WSASetLastError(Id_WSAECONNRESET);
    EXPECT_FALSE(GlobalStack->CheckSocketResult(0));
    EXPECT_FALSE(GlobalStack->CheckSocketResult(5, {Id_WSAESHUTDOWN}));
}

TEST_F(CheckSocketResultTest, ToleratedCodeAnswersTrue) {
    Winsock.WSASetLastError(Id_WSAESHUTDOWN);
    EXPECT_TRUE(GlobalStack->CheckSocketResult(IdSocketError, {Id_WSAECONNRESET, Id_WSAESHUTDOWN}));
}

TEST_F(CheckSocketResultTest, OtherCodeRaisesWithItsCodeAndText) {
    Winsock.WSASetLastError(Id_WSAECONNRESET);
    try {
        GlobalStack->CheckSocketResult(IdSocketError, {Id_WSAESHUTDOWN});
        FAIL() << "no exception";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode, Id_WSAECONNRESET);
        EXPECT_EQ(e.Message, "Socket Error # 10054\r\nConnection reset by peer.");
    }
}

// Closing a value that is no socket: the Windows sockets library says
// WSAENOTSOCK; on Linux close(2) says EBADF, which the adapters pass on as
// WSAEBADF.
#ifdef _WIN32
constexpr int32_t ClosingNoSocket = Id_WSAENOTSOCK;
#else
constexpr int32_t ClosingNoSocket = Id_WSAEBADF;
#endif

TEST_F(CheckSocketResultTest, FailedCallsLeaveTheirCodeInTheCallingThreadOnly) {
    EXPECT_EQ(GlobalStack->SockClose(-1), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), ClosingNoSocket);
    int32_t otherThread = -1;
    std::thread([&otherThread] { otherThread = GlobalStack->SockLastError(); }).join();
    EXPECT_EQ(otherThread, 0);
}

TEST_F(CheckSocketResultTest, CreateSocketWithAnUnsupportedTypeRaisesInvalidSocket) {
    try {
        GlobalStack->CreateSocket(0x7777, 0);
        FAIL() << "no exception";
    } catch (const EIdInvalidSocket& e) {
        EXPECT_EQ(e.Message, "Cannot allocate socket.");
    }
}

} // namespace
