// What <sys/wait.h> gives the tests on POSIX systems, for the Windows build of
// the test kit: ChildProcess (ChildProcessWindows.cpp) reports an exit code C
// as the wait status C << 8 and a program it had to kill as killed by SIGKILL,
// the encoding these macros read on Linux.
#pragma once

#include <signal.h>

#ifndef SIGKILL
#define SIGKILL 9
#endif

#define WIFEXITED(status) (((status)&0x7f) == 0)
#define WEXITSTATUS(status) (((status) >> 8) & 0xff)
#define WIFSIGNALED(status) (((status)&0x7f) != 0)
#define WTERMSIG(status) ((status)&0x7f)
