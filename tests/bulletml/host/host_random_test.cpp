// host_random_test.cpp - the BulletML host's copy of the random stream draws
// what the project's does.
#include <gtest/gtest.h>

#include "host_random.h"         // the copy
#include "platform/random.h"     // the original

TEST(HostRandom, DrawsWhatRndDrawsAfterAReset) {
  RND();  // the reset, not the draws before it, decides
  RANDOM_RESET();
  Thost_random copy;
  for (int i = 0; i < 100000; ++i) ASSERT_EQ(copy.NEXT(), RND()) << "draw " << i;
}
