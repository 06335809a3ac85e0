// random.h - the random source: uniform doubles in [0, 1).
//
// Draws made before RANDOMIZE come from a fixed initial state, so they are
// the same on every run and on every machine (the scene's spline points rely
// on it). The generator is splitmix64: tiny, fast and fully specified, so no
// C library's rand() decides what the show looks like.
#pragma once

#include <cstdint>  // the generator's 64-bit state

void RANDOMIZE(double seed);  // reseeds from the bits of a timer reading
double RND();                 // next draw, 53 random bits, in [0, 1)
void RANDOM_RESET();          // back to the fixed initial state (tests, tools)
