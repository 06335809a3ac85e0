// pattern_alloc_test - playing a pattern allocates nothing once its player
// is built: every real BulletML file Debian ships (when installed) and a
// pattern of the project's that overflows the pool through references with
// parameters. Its own program, since it counts every operator new.
#include <gtest/gtest.h>

#include <atomic>      // the count
#include <cstdlib>     // malloc, free
#include <filesystem>  // the real files
#include <new>         // bad_alloc
#include <string>      // paths
#include <vector>      // the files

#include "support/pattern_text.h"  // reading a pattern

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Allocations while `player` steps `frames` frames, with the stream drawn
// and a target that moves.
long allocations_playing(Tpattern_player& player, int frames) {
  const long before = g_allocations.load();
  Tpattern_input input;
  for (int f = 0; f < frames; ++f) {
    input.target_x = 320.0 + (f % 50) * 3.0;
    input.target_y = 400.0;
    player.STEP(input);
  }
  return g_allocations.load() - before;
}

TEST(PatternAlloc, PlayingAPatternOfOursAllocatesNothing) {
  Tpattern pattern;
  std::string mistakes;
  ASSERT_TRUE(PATTERN_TEXT(
      "<bulletml><action label=\"top\"><repeat><times>9000</times><actionRef label=\"ring\">"
      "<param>$rand*360</param></actionRef></repeat><wait>30</wait></action>"
      "<action label=\"ring\"><fire><direction type=\"absolute\">$1</direction><bulletRef label=\"split\">"
      "<param>2</param></bulletRef></fire><fire><direction type=\"sequence\">7</direction><bullet/></fire></action>"
      "<bullet label=\"split\"><speed>$1</speed><action><wait>10</wait><changeDirection><direction type=\"aim\">0"
      "</direction><term>20</term></changeDirection><fire><bullet/></fire><vanish/></action></bullet></bulletml>",
      pattern, mistakes))
      << mistakes;
  Tpattern_player player;
  player.BUILD(pattern);
  EXPECT_EQ(allocations_playing(player, 300), 0);
  EXPECT_GT(player.MISSED(), 0);
}

TEST(PatternAlloc, PlayingEveryRealFileAllocatesNothing) {
  const char* const folders[] = {"/usr/share/doc/libbulletml-dev/doc/sample", "/usr/share/games/noiz2sa",
                                 "/usr/share/games/parsec47", "/usr/share/games/rrootage",
                                 "/usr/share/games/torus-trooper", "/usr/share/games/tumiki-fighters",
                                 "/usr/share/games/mu-cade"};
  std::vector<std::string> files;
  for (const char* folder : folders) {
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file() && it->path().extension() == ".xml") files.push_back(it->path().string());
  }
  if (files.empty()) GTEST_SKIP() << "no BulletML files installed (scripts/setup --test installs them)";
  int played = 0;
  for (const std::string& file : files) {
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    if (!BULLETML_READ_FILE(file, pattern, mistakes)) continue;  // the one without a top action
    Tpattern_player player;
    player.BUILD(pattern);
    EXPECT_EQ(allocations_playing(player, 600), 0) << file;
    ++played;
  }
  EXPECT_GE(played, static_cast<int>(files.size()) - 1);
}

}  // namespace
