// vorpane-trace: CSV shape, frame selection and option errors, run as a
// separate process.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "bulletml/bulletml_read.h"   // the gallery's patterns, read in-process
#include "core/float_text.h"          // DOUBLE_TEXT, as the trace prints
#include "patterns/pattern_player.h"  // the player alone

namespace {

struct Trun {
  int status = -1;
  std::vector<std::string> lines;
};

// stdout's lines, and stderr's after them when `with_errors`.
Trun run_trace(const std::string& args, bool with_errors = false) {
  Trun r;
  const std::string command =
      std::string(VORPANE_BIN_DIR) + "/vorpane-trace " + args + (with_errors ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  std::string line;
  int c;
  while ((c = std::fgetc(pipe)) != EOF) {
    if (c == '\n') {
      r.lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) r.lines.push_back(line);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

TEST(Trace, HeaderAndRowShapes) {
  Trun r = run_trace("--frames 30");
  ASSERT_EQ(r.status, 0);
  ASSERT_FALSE(r.lines.empty());
  EXPECT_EQ(r.lines[0], "kind,frame,emitter,slot,x,y");
  const std::regex row("([EB]),([0-9]+),([0-3]),(-1|[0-9]+),(-?[0-9.e+-]+),(-?[0-9.e+-]+)");
  int emitter_rows = 0;
  int last_frame = 0;
  int last_emitter = -1;
  for (size_t i = 1; i < r.lines.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(r.lines[i], m, row)) << r.lines[i];
    const int frame = std::stoi(m[2]);
    const int emitter = std::stoi(m[3]);
    if (m[1] == "E") {
      ++emitter_rows;
      EXPECT_EQ(m[4], "-1");
      // Emitters in index order within a frame, frames in order.
      if (frame == last_frame) EXPECT_EQ(emitter, last_emitter + 1);
      else EXPECT_EQ(emitter, 0);
      last_frame = frame;
      last_emitter = emitter;
    } else {
      EXPECT_EQ(frame, last_frame);
      EXPECT_EQ(emitter, last_emitter);
    }
  }
  EXPECT_EQ(emitter_rows, 30 * 4);
  EXPECT_EQ(r.lines[1], "E,1,0,-1,321.99878,240.0698");
}

TEST(Trace, EveryPrintsMultiplesAndTheLastFrame) {
  Trun r = run_trace("--frames 10 --every 4 --target=-1,-1");
  ASSERT_EQ(r.status, 0);
  std::vector<std::string> frames;
  for (size_t i = 1; i < r.lines.size(); ++i) {
    if (r.lines[i].rfind("E,", 0) == 0 && r.lines[i].find(",0,-1,") != std::string::npos) {
      frames.push_back(r.lines[i].substr(2, r.lines[i].find(',', 2) - 2));
    }
  }
  EXPECT_EQ(frames, (std::vector<std::string>{"4", "8", "10"}));
}

TEST(Trace, TargetDoesNotTouchUnaimedPhases) {
  // Phase 1 fires type-2 bullets that never aim: the target must not change
  // a short trace.
  Trun a = run_trace("--frames 20 --target 10,10");
  Trun b = run_trace("--frames 20 --target -1,-1");
  ASSERT_EQ(a.status, 0);
  EXPECT_EQ(a.lines, b.lines);
}

// The shipped file is the built-in show written out: the same bytes, with
// the mouse outside the window and held inside it.
TEST(Trace, TheBuiltInShowAsAFileTracesTheSameBytes) {
  const std::string trace = std::string(VORPANE_BIN_DIR) + "/vorpane-trace --frames 20000 --every 7";
  const std::string file = std::string(" --scene ") + VORPANE_SOURCE_DIR + "/assets/scenes/show.toml";
  for (const char* target : {" --target -1,-1", " --target 320,100"}) {
    const std::string compare = "bash -c 'cmp -s <(" + trace + target + " 2>&1) <(" + trace + file + target + " 2>&1)'";
    EXPECT_EQ(std::system(compare.c_str()), 0) << target;
  }
}

TEST(Trace, CheckSaysWhetherASceneIsGood) {
  const std::string good = std::string("--check --scene ") + VORPANE_SOURCE_DIR + "/assets/scenes/show.toml";
  Trun r = run_trace(good);
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_NE(r.lines[0].find("a good scene: 4 emitters"), std::string::npos) << r.lines[0];
  for (const char* bad : {"--check --scene /nonexistent.toml", "--check", "--scene /nonexistent.toml"}) {
    r = run_trace(bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_TRUE(r.lines.empty()) << bad;
  }
}

TEST(Trace, BadOptionsExitWithStatus2) {
  for (const char* args : {"--bogus", "--frames", "--frames 0", "--frames -5", "--frames 12x", "--every 0",
                           "--target 1", "--target 1,y", "--target 1,2,3", "extra", "--frames=", "--every=-1"}) {
    Trun r = run_trace(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.lines.empty()) << args;
  }
  Trun help = run_trace("--help");
  EXPECT_EQ(help.status, 0);
  ASSERT_FALSE(help.lines.empty());
  EXPECT_NE(help.lines[0].find("usage"), std::string::npos);
}

std::string pattern_file(const char* name) { return std::string(VORPANE_SOURCE_DIR) + "/tests/bulletml/" + name; }

// A BulletML file as the scene: the root as emitter 0, slot -1, and each
// bullet under its creation number, positions as shortest doubles.
TEST(Trace, APatternFileTracesItsRootAndBullets) {
  Trun r = run_trace("--scene " + pattern_file("fire_wait.xml") + " --frames 12 --target 320,400");
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 1u + 12 + 12 + 1);
  EXPECT_EQ(r.lines[0], "kind,frame,emitter,slot,x,y");
  EXPECT_EQ(r.lines[1], "E,1,0,-1,320,120");
  EXPECT_EQ(r.lines[2], "B,1,0,1,320,120");
  EXPECT_EQ(r.lines[r.lines.size() - 3], "E,12,0,-1,320,120");
  EXPECT_EQ(r.lines[r.lines.size() - 2], "B,12,0,1,320,131");
  EXPECT_EQ(r.lines[r.lines.size() - 1], "B,12,0,2,320,120");

  // Direction $rank*180 = 45, speed 1 + $rand = 1.25.
  r = run_trace("--scene " + pattern_file("rank_rand.xml") + " --frames 2 --rank 0.25 --rand-constant 0.25");
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 5u);
  EXPECT_EQ(r.lines[4], "B,2,0,1,320.88388347648316,119.11611652351681");
}

TEST(Trace, CheckSaysWhetherAPatternIsGood) {
  Trun r = run_trace("--check --scene " + pattern_file("fire_wait.xml"));
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_NE(r.lines[0].find("a good pattern: 1 top action"), std::string::npos) << r.lines[0];
  const std::string bad = pattern_file("mistakes.xml");
  for (const std::string& args : {"--check --scene " + bad, "--scene " + bad}) {
    r = run_trace(args, true);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.lines, (std::vector<std::string>{bad + ":3:8: an operator without its right-hand value in <wait>",
                                                 bad + ":4:1: <fire> without a <bullet> or <bulletRef>"}));
  }
}

// --rank and --rand-constant take 0 to 1; with the show's own scenes they
// are accepted and change nothing.
TEST(Trace, RankAndRandConstantOptions) {
  for (const char* args : {"--rank 1.5", "--rank -0.1", "--rank x", "--rank", "--rand-constant 2", "--rank nan"}) {
    Trun r = run_trace(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.lines.empty()) << args;
  }
  const std::string trace = std::string(VORPANE_BIN_DIR) + "/vorpane-trace --frames 3000 --every 5";
  const std::string compare =
      "bash -c 'cmp -s <(" + trace + " 2>&1) <(" + trace + " --rank 0.9 --rand-constant 0 2>&1)'";
  EXPECT_EQ(std::system(compare.c_str()), 0);
}

// A pattern played as a scene prints what its player alone plays: the root,
// then each bullet under its creation number, as the shortest doubles.
TEST(Trace, AGalleryPatternTracesItsPlayersOwnRows) {
  for (const char* name : {"rank-curtain.xml", "split-rings.xml", "turning-spiral.xml"}) {
    const std::string file = std::string(VORPANE_SOURCE_DIR) + "/assets/scenes/" + name;
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    ASSERT_TRUE(BULLETML_READ_FILE(file, pattern, mistakes)) << name;
    Tpattern_player player;
    player.BUILD(pattern);
    Tpattern_input input;
    input.target_x = 100.0;
    input.target_y = 400.5;
    input.rank = 0.7;
    std::vector<std::string> expected = {"kind,frame,emitter,slot,x,y"};
    const auto row = [](char kind, int frame, long long slot, double x, double y) {
      char text[128];
      char* p = text + std::snprintf(text, 40, "%c,%d,0,%lld,", kind, frame, slot);
      p = DOUBLE_TEXT(p, x);
      *p++ = ',';
      p = DOUBLE_TEXT(p, y);
      return std::string(text, p);
    };
    for (int f = 1; f <= 240; ++f) {
      player.STEP(input);
      expected.push_back(row('E', f, -1, player.ROOT().x, player.ROOT().y));
      for (int i = 0; i < player.IN_FLIGHT(); ++i)
        expected.push_back(row('B', f, player.SHOT(i).number, player.SHOT(i).x, player.SHOT(i).y));
    }
    const Trun r = run_trace("--scene " + file + " --frames 240 --target 100,400.5 --rank 0.7");
    ASSERT_EQ(r.status, 0) << name;
    ASSERT_EQ(r.lines.size(), expected.size()) << name;
    for (std::size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(r.lines[k], expected[k]) << name << " line " << k;
  }
}

}  // namespace
