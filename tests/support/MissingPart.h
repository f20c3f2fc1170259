#pragma once

#include <cstdlib>

#include <gtest/gtest.h>

// For a test that needs a program or file the machine lacks: a skip on a developer's machine, a
// failure in CI, where scripts/install-deps.sh installs every part the tests use. Ends the
// calling function (a test body or SetUp), like GTEST_SKIP.
#define ZONBODE_SKIP_FOR_MISSING_PART(what)                                     \
    do {                                                                        \
        if (std::getenv("CI") != nullptr) {                                     \
            FAIL() << "missing in CI, where every part is installed: " << what; \
        }                                                                       \
        GTEST_SKIP() << "SKIPPED: " << what;                                    \
    } while (false)
