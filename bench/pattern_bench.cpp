// pattern_bench.cpp - the BulletML runner's own cost, in a program that
// builds both natively and with emscripten (run under node), so that the
// two are timed on the same files by the same code. No Google Benchmark:
// the browser's build has none.
//
//   vorpane-bench-pattern --list FILES [--frames N] [--repeat R]
//       one row per file: path, bullet-frames, best seconds of R runs,
//       peak in flight, most commands and operations in one frame
//   vorpane-bench-pattern --most-in [--ms T]
//       the most bullets in flight, each running one command a frame, that
//       one frame steps within T ms (default 2): doubling, then bisection
//   vorpane-bench-pattern --peak FILE [--frames N] [--repeat R]
//       the frame of FILE with the most bullets in flight, and its step time
//   vorpane-bench-pattern --worst [--repeat R]
//       the heaviest frames hostile files can ask for, counted, and timed
//       best of R fresh plays
//
// Rules:
//  - Figures are "key value" lines (scripts/bench-patterns reads them), rows
//    tab-separated; nothing is timed but STEP.
#include <algorithm>  // sort, max, min
#include <chrono>     // per-frame timing
#include <cstdio>     // printf
#include <cstdlib>    // atol, atof
#include <cstring>    // strcmp
#include <memory>     // the players of a large count
#include <string>     // texts
#include <vector>     // players, samples

#include "pattern_timing.h"  // the shared timing of one file

namespace {

using Tclock = std::chrono::steady_clock;

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

bool read_text(const std::string& text, Tpattern& pattern) {
  std::vector<Tbulletml_mistake> mistakes;
  if (BULLETML_READ("bench.xml", text, pattern, mistakes)) return true;
  std::fprintf(stderr, "vorpane-bench-pattern: %s\n", BULLETML_MISTAKE_TEXT(mistakes.at(0)).c_str());
  std::exit(1);
}

int list_mode(const std::string& list, long frames, int repeat) {
  for (const std::string& path : PATTERN_BENCH_FILES(list)) {
    Tpattern pattern;
    if (!PATTERN_BENCH_READ(path, pattern)) continue;
    Tpattern_player player;
    player.BUILD(pattern);
    Tpattern_run best;
    for (int r = 0; r < repeat; ++r) {
      const Tpattern_run run = PATTERN_TIME(player, frames);
      if (r == 0 || run.seconds < best.seconds) best = run;
    }
    std::printf("%s\t%lld\t%.9g\t%d\t%lld\t%lld\n", path.c_str(), best.bullet_frames, best.seconds, best.peak,
                best.most_commands, best.most_operations);
  }
  return 0;
}

// `count` bullets standing at the root, each running one wait a frame for
// `waits` frames, over as many players as the pool needs.
struct Tstanding {
  std::vector<std::unique_ptr<Tpattern_player>> players;
};

void build_standing(Tstanding& s, long count, int waits) {
  s.players.clear();
  for (long left = count; left > 0; left -= VP_PATTERN_POOL) {
    const long here = std::min<long>(left, VP_PATTERN_POOL);
    const std::string text = "<bulletml><action label=\"top\"><repeat><times>" + std::to_string(here) +
                             "</times><action><fire><speed>0</speed><bulletRef label=\"b\"/></fire></action></repeat>"
                             "<wait>1000000</wait></action><bullet label=\"b\"><action>" +
                             repeated("<wait>1</wait>", waits) + "</action></bullet></bulletml>";
    Tpattern pattern;
    read_text(text, pattern);
    s.players.push_back(std::make_unique<Tpattern_player>());
    s.players.back()->BUILD(pattern);
  }
}

// The median over `timed` frames of one frame's steps of every player, in
// milliseconds, after the bullets are fired and have started.
double standing_frame_ms(long count, int timed, long& in_flight, long long& commands) {
  Tstanding s;
  build_standing(s, count, timed + 8);
  const Tpattern_input input = PATTERN_BENCH_INPUT();
  for (int f = 0; f < 3; ++f)
    for (auto& p : s.players) p->STEP(input);
  std::vector<double> ms;
  for (int f = 0; f < timed; ++f) {
    const auto start = Tclock::now();
    for (auto& p : s.players) p->STEP(input);
    ms.push_back(PATTERN_SECONDS_SINCE(start) * 1e3);
  }
  in_flight = 0;
  commands = 0;
  for (auto& p : s.players) {
    in_flight += p->IN_FLIGHT();
    commands += p->FRAME_COMMANDS();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

int most_in_mode(double budget_ms) {
  const int timed = 41;
  long in_flight = 0;
  long long commands = 0;
  long good = 0, bad = 0;
  double good_ms = 0.0;
  for (long n = 1024; bad == 0; n *= 2) {
    const double ms = standing_frame_ms(n, timed, in_flight, commands);
    std::fprintf(stderr, "  %ld bullets: %.3f ms\n", n, ms);
    if (ms <= budget_ms) {
      good = n;
      good_ms = ms;
    } else {
      bad = n;
    }
    if (n > (1L << 26)) break;
  }
  while (bad - good > std::max(64L, good / 100)) {
    const long mid = good + (bad - good) / 2;
    const double ms = standing_frame_ms(mid, timed, in_flight, commands);
    std::fprintf(stderr, "  %ld bullets: %.3f ms\n", mid, ms);
    if (ms <= budget_ms) {
      good = mid;
      good_ms = ms;
    } else {
      bad = mid;
    }
  }
  standing_frame_ms(good, timed, in_flight, commands);
  std::printf("most_in.budget_ms %g\nmost_in.bullets %ld\nmost_in.frame_ms %.4f\nmost_in.players %ld\n"
              "most_in.commands %lld\nmost_in.ns_per_bullet %.3f\n",
              budget_ms, in_flight, good_ms, (good + VP_PATTERN_POOL - 1) / VP_PATTERN_POOL, commands,
              good_ms * 1e6 / static_cast<double>(good));
  return 0;
}

int peak_mode(const std::string& path, long frames, int repeat) {
  Tpattern pattern;
  if (!PATTERN_BENCH_READ(path, pattern)) return 1;
  Tpattern_player player;
  player.BUILD(pattern);
  const Tpattern_input input = PATTERN_BENCH_INPUT();
  std::vector<double> best(static_cast<std::size_t>(frames), 1e30);
  std::vector<int> flying(static_cast<std::size_t>(frames), 0);
  for (int r = 0; r < repeat; ++r) {
    player.RESET();
    for (long f = 0; f < frames; ++f) {
      const auto start = Tclock::now();
      player.STEP(input);
      const double s = PATTERN_SECONDS_SINCE(start);
      best[static_cast<std::size_t>(f)] = std::min(best[static_cast<std::size_t>(f)], s);
      flying[static_cast<std::size_t>(f)] = player.IN_FLIGHT();
    }
  }
  std::size_t at = 0, slowest = 0;
  for (std::size_t f = 0; f < best.size(); ++f) {
    if (flying[f] > flying[at]) at = f;
    if (best[f] > best[slowest]) slowest = f;
  }
  std::printf("peak.bullets %d\npeak.frame %zu\npeak.frame_ms %.4f\npeak.slowest_frame %zu\npeak.slowest_ms %.4f\n"
              "peak.slowest_bullets %d\n",
              flying[at], at + 1, best[at] * 1e3, slowest + 1, best[slowest] * 1e3, flying[slowest]);
  return 0;
}

struct Tworst_case {
  const char* name;
  std::string text;
  int frames;  // played; the heaviest of them is reported
};

// One frame's step of each hostile case, best of `repeat` fresh plays: its
// time, its counts, its faults.
int worst_mode(int repeat) {
  // The longest value the reader takes that costs most to evaluate: 341
  // reads of $1 and 340 multiplications in 1,022 characters.
  const std::string e = "$1" + repeated("*$1", 340);
  const std::string params = repeated("<param>" + e + "</param>", 9);
  const std::string long_fire = "<fire label=\"f\"><direction type=\"absolute\">" + e + "</direction><speed>" + e +
                                "</speed><bulletRef label=\"c\">" + params + "</bulletRef></fire>"
                                "<bullet label=\"c\"><direction type=\"absolute\">" + e + "</direction><speed>" + e +
                                "</speed></bullet>";
  const std::string short_params = repeated("<param>1</param>", 9);
  const std::string short_fire = "<fire label=\"f\"><direction type=\"absolute\">1</direction><speed>1</speed>"
                                 "<bulletRef label=\"c\">" + short_params + "</bulletRef></fire>"
                                 "<bullet label=\"c\"><direction type=\"absolute\">1</direction><speed>1</speed></bullet>";
  // 20 bullets standing, each running a runaway repeat of `body`.
  auto bullets = [](const std::string& body, const std::string& rest) {
    return "<bulletml><action label=\"top\"><repeat><times>20</times><action><fire><speed>0</speed><bulletRef "
           "label=\"b\"/></fire></action></repeat><wait>1000000</wait></action><bullet label=\"b\"><action><repeat>"
           "<times>100000000</times><action>" + body + "</action></repeat></action></bullet>" + rest + "</bulletml>";
  };
  const std::vector<Tworst_case> cases = {
      {"long_values", bullets("<fireRef label=\"f\">" + params + "</fireRef>", long_fire), 3},
      {"root_long_values", "<bulletml><action label=\"top\"><repeat><times>100000000</times><action><fireRef label=\"f\">" +
                               params + "</fireRef></action></repeat></action>" + long_fire + "</bulletml>", 2},
      {"constant_values", bullets("<fireRef label=\"f\">" + short_params + "</fireRef>", short_fire), 3},
      {"aimed_fires", bullets("<fire><bullet/></fire>", ""), 3},
      {"waits", bullets("<wait>0</wait>", ""), 3},
  };
  const Tpattern_input input = PATTERN_BENCH_INPUT();
  for (const Tworst_case& c : cases) {
    Tpattern pattern;
    read_text(c.text, pattern);
    Tpattern_player player;
    player.BUILD(pattern);
    double best = 1e30;
    long long commands = 0, operations = 0;
    for (int r = 0; r < repeat; ++r) {
      player.RESET();
      // The heaviest frame is the one with the most commands and operations,
      // the same in every play.
      double worst = 0.0;
      long long most = -1;
      for (int f = 0; f < c.frames; ++f) {
        const auto start = Tclock::now();
        player.STEP(input);
        const double ms = PATTERN_SECONDS_SINCE(start) * 1e3;
        if (player.FRAME_COMMANDS() + player.FRAME_OPERATIONS() > most) {
          most = player.FRAME_COMMANDS() + player.FRAME_OPERATIONS();
          worst = ms;
          commands = player.FRAME_COMMANDS();
          operations = player.FRAME_OPERATIONS();
        }
      }
      best = std::min(best, worst);
    }
    const double worst = best;
    std::string faults;
    for (int i = 0; i < player.FAULT_COUNT(); ++i)
      faults += (i ? "," : "") + std::to_string(static_cast<int>(player.FAULT(i).kind));
    std::printf("worst.%s.ms %.3f\nworst.%s.commands %lld\nworst.%s.operations %lld\nworst.%s.faults %s\n", c.name,
                worst, c.name, commands, c.name, operations, c.name, faults.empty() ? "none" : faults.c_str());
    std::fflush(stdout);
  }
  return 0;
}

[[noreturn]] void usage() {
  std::fprintf(stderr, "usage: vorpane-bench-pattern --list FILES [--frames N] [--repeat R] | --most-in [--ms T] | "
                       "--peak FILE [--frames N] [--repeat R] | --worst [--repeat R]\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode, path;
  long frames = 600;
  int repeat = 3;
  double budget_ms = 2.0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if ((a == "--list" || a == "--peak") && has_value) {
      mode = a;
      path = argv[++i];
    } else if (a == "--most-in" || a == "--worst") {
      mode = a;
    } else if (a == "--frames" && has_value) {
      frames = std::atol(argv[++i]);
    } else if (a == "--repeat" && has_value) {
      repeat = std::atoi(argv[++i]);
    } else if (a == "--ms" && has_value) {
      budget_ms = std::atof(argv[++i]);
    } else {
      usage();
    }
  }
  if (frames <= 0 || repeat <= 0 || budget_ms <= 0.0) usage();
  if (mode == "--list") return list_mode(path, frames, repeat);
  if (mode == "--most-in") return most_in_mode(budget_ms);
  if (mode == "--peak") return peak_mode(path, frames, repeat);
  if (mode == "--worst") return worst_mode(repeat);
  usage();
}
