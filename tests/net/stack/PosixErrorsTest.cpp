// The translation of errno values and resolver failures into Windows Sockets
// error numbers.
#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

struct TMapping {
    int Errno;
    int32_t Code;
};

class ErrnoMappingTest : public testing::TestWithParam<TMapping> {};

TEST_P(ErrnoMappingTest, GivesTheWindowsCode) {
    EXPECT_EQ(WinsockCodeOfErrno(GetParam().Errno), GetParam().Code) << GetParam().Errno;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrnoMappingTest,
    testing::Values(
        TMapping{EINTR, 10004}, TMapping{EBADF, 10009}, TMapping{EACCES, 10013},
        TMapping{EFAULT, 10014}, TMapping{EINVAL, 10022}, TMapping{EMFILE, 10024},
        TMapping{EWOULDBLOCK, 10035}, TMapping{EAGAIN, 10035}, TMapping{EINPROGRESS, 10036},
        TMapping{EALREADY, 10037}, TMapping{ENOTSOCK, 10038}, TMapping{EDESTADDRREQ, 10039},
        TMapping{EMSGSIZE, 10040}, TMapping{EPROTOTYPE, 10041}, TMapping{ENOPROTOOPT, 10042},
        TMapping{EPROTONOSUPPORT, 10043}, TMapping{ESOCKTNOSUPPORT, 10044},
        TMapping{EOPNOTSUPP, 10045}, TMapping{EPFNOSUPPORT, 10046}, TMapping{EAFNOSUPPORT, 10047},
        TMapping{EADDRINUSE, 10048}, TMapping{EADDRNOTAVAIL, 10049}, TMapping{ENETDOWN, 10050},
        TMapping{ENETUNREACH, 10051}, TMapping{ENETRESET, 10052}, TMapping{ECONNABORTED, 10053},
        TMapping{ECONNRESET, 10054}, TMapping{ENOBUFS, 10055}, TMapping{EISCONN, 10056},
        TMapping{ENOTCONN, 10057}, TMapping{ESHUTDOWN, 10058}, TMapping{EPIPE, 10058},
        TMapping{ETOOMANYREFS, 10059}, TMapping{ETIMEDOUT, 10060}, TMapping{ECONNREFUSED, 10061},
        TMapping{ELOOP, 10062}, TMapping{ENAMETOOLONG, 10063}, TMapping{EHOSTDOWN, 10064},
        TMapping{EHOSTUNREACH, 10065}, TMapping{ENOTEMPTY, 10066},
        TMapping{ENOENT, Id_WSASYSCALLFAILURE}));

class ResolverMappingTest : public testing::TestWithParam<TMapping> {};

TEST_P(ResolverMappingTest, GivesTheWindowsResolverCode) {
    EXPECT_EQ(WinsockCodeOfResolverError(GetParam().Errno, ECONNREFUSED), GetParam().Code);
}

INSTANTIATE_TEST_SUITE_P(Table, ResolverMappingTest,
                         testing::Values(TMapping{EAI_NONAME, 11001}, TMapping{EAI_AGAIN, 11002},
                                         TMapping{EAI_FAIL, 11003}, TMapping{EAI_NODATA, 11004},
                                         TMapping{EAI_SYSTEM, 10061},
                                         TMapping{EAI_BADFLAGS, 11003}));

} // namespace
