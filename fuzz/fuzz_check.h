// A fuzz-time assertion: a broken invariant must stop the run like a crash
// does, also in builds where assert() is compiled out.
#pragma once

#include <cstdio>
#include <cstdlib>

#define QUORVEL_FUZZ_CHECK(condition)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
