// Tests that need root - to switch users, or to log in as root through a
// private SSH server - skip with one reason when run as anyone else;
// scripts/test runs every test as root.
#pragma once

#include <unistd.h>

#include <gtest/gtest.h>

// Skips the running test unless this process runs as root; `what` names the
// step that needs root.
#define BQ_SKIP_UNLESS_ROOT(what)                                                                  \
    if (::geteuid() != 0) GTEST_SKIP() << what << " needs root; run as root (scripts/test does)"
