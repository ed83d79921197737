# The Windows build (cross-compiled with cmake/mingw-w64-x86_64.cmake): which
# parts it holds, GoogleTest from Debian's sources, and wine64 to run the tests.

# No Qt for Windows can be installed here, so the Qt window stays Linux-only
# (the Windows window is winview/, a native view of the same model); the fuzz
# targets need clang's libFuzzer and the benchmarks Google Benchmark.
set(BQ_BUILD_APP OFF CACHE BOOL "" FORCE)
set(BQ_FUZZ OFF CACHE BOOL "" FORCE)
set(BQ_BENCH OFF CACHE BOOL "" FORCE)

# WSAPoll and the handle-inheritance flags need Windows Vista's API; no min
# and max macros from <windows.h>.
add_compile_definitions(_WIN32_WINNT=0x0601 NOMINMAX)

# Test sources left out of the Windows run, each for the one reason given:
# - the peers they start are Linux programs (dante, microsocks, sshd: the SOCKS
#   proxies; inetutils-telnetd behind socat: the real Telnet server; bash and
#   zsh running bqctl's completions);
# - they run bqctl under POSIX limits and devices (/dev/full, ulimit, prlimit);
# - they check the POSIX adapters of the socket stack, which a Windows build
#   does not have (the Windows sockets library is bound instead), or Linux's
#   limit on descriptor numbers in select, which Windows does not have.
set(BQ_WINDOWS_LEFT_OUT
  ${PROJECT_SOURCE_DIR}/tests/net/tcp/SocksRealProxyTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/net/tcp/SocksProxies.cpp
  ${PROJECT_SOURCE_DIR}/tests/bqctl/BqctlFleetTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/bqctl/BqctlHostileTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/bqctl/CompletionTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/net/telnet/RealTelnetServerTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/net/stack/PosixErrorsTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/net/stack/SockSelectHighDescriptorTest.cpp)
# and single cases, as GoogleTest filter patterns:
# - a connection that its client resets before the server has accepted it is
#   dropped from the backlog by Windows and never reaches the server, so the
#   server cannot log dropping it;
# - wine's TransmitFile does not return once the peer has closed (Windows
#   itself fails it with WSAECONNRESET);
# - wine's server fails an assertion of its own (server/fd.c, set_fd_events)
#   in about one run in four of a socket closed while another thread waits on
#   it, round after round, and then every program of the prefix hangs;
# - they wait until a thread sleeps, which only Linux shows (in /proc);
# - it feeds bqctl an endless pipe through /bin/sh.
set(BQ_WINDOWS_LEFT_OUT_CASES
  BqctlInventory.AnEndlessPipeOrAFolderIsRefusedWithStatus2
  GatewaySim.ClientsThatLeaveMidLineOrWithResetAreDropped
  FileSendTest.AVanishedPeerGivesZeroWithoutSignal
  SocketHandleTest.ReleaseDuringAWaitNeverTouchesAReusedDescriptor
  ThreadTest.ASuspendedThreadWaitsAtItsSuspensionPointUntilResumed
  ThreadTest.TerminateWakesASuspendedThread
  IdThreadTest.ACreatedSuspendedThreadKeepsSuspendingItselfWhileStopRequested)

# GoogleTest and gmock built from the sources of Debian's googletest package;
# they name their targets GTest::gtest, GTest::gmock, ... as the installed
# package does.
macro(bq_windows_googletest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endmacro()

# gtest_discover_tests and ctest run the test programs through this wrapper.
set(BQ_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
  WORLD_EXECUTE @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# One ctest entry per test program: every start of a program under wine costs
# about a second, which one entry per test case would pay hundreds of times.
# GoogleTest's own report names each case.
function(bq_windows_test name)
  list(JOIN BQ_WINDOWS_LEFT_OUT_CASES ":" left_out)
  add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${left_out})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()


# CLI11 and nlohmann-json (bqctl) are header-only: Debian's headers serve the
# Windows build as well, through a folder that holds only them (all of
# /usr/include would bring in Linux's C library headers).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/header-only)
foreach(library CLI nlohmann)
  file(CREATE_LINK /usr/include/${library} ${CMAKE_BINARY_DIR}/header-only/${library} SYMBOLIC)
endforeach()
include_directories(SYSTEM ${CMAKE_BINARY_DIR}/header-only)
