// random.cpp - the global stream behind RND.
#include "platform/random.h"

namespace {
// Constant-initialised, so a draw during another file's static start-up
// already sees the fixed state.
Trandom g_random;
}  // namespace

void RANDOMIZE(double seed) { g_random.SEED(seed); }

void RANDOM_RESET() { g_random.RESET(); }

double RND() { return g_random.NEXT(); }
