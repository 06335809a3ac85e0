// runner_bench.cpp - Vorpane's runner (Tpattern_player) beside libbulletml
// driven by the agreement test's host (host_play.h), in one process, on the
// same files with the same input: the random stream, the target at
// (320, 400). A benchmark, never a test; built by bench/CMakeLists.txt only
// where libbulletml is installed, and linked into nothing shipped.
//
//   vorpane-bench-bulletml --list FILES [--frames N] [--repeat R]
//
// One row per file, tab-separated: path, Vorpane's bullet-frames and best
// seconds of R runs, the host's bullet-frames and best seconds (-1 when a
// side refuses the file). The two take turns run by run, so a change in the
// machine's load touches both.
#include <chrono>   // the host's run timed
#include <cstdio>   // printf
#include <cstdlib>  // atol
#include <memory>   // the host, fresh each run
#include <string>   // paths

#include "host_play.h"       // libbulletml driven by the model's choices
#include "pattern_timing.h"  // Vorpane's run, as pattern_bench times it

namespace {

struct Thost_run {
  double seconds = 0.0;
  long long bullet_frames = 0;
};

// One run from a fresh host; building it and tearing it down are not timed.
Thost_run time_host(BulletMLParser& file, const Toptions& options, long frames) {
  Thost_run run;
  auto host = std::make_unique<Thost>(options, file);
  const auto start = std::chrono::steady_clock::now();
  for (long f = 0; f < frames; ++f) {
    host->STEP();
    run.bullet_frames += static_cast<long long>(host->OBJECTS().size()) - 1;
  }
  run.seconds = PATTERN_SECONDS_SINCE(start);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  std::string list;
  long frames = 600;
  int repeat = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--list") list = argv[i + 1];
    else if (a == "--frames") frames = std::atol(argv[i + 1]);
    else if (a == "--repeat") repeat = std::atoi(argv[i + 1]);
  }
  if (list.empty() || frames <= 0 || repeat <= 0 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: vorpane-bench-bulletml --list FILES [--frames N] [--repeat R]\n");
    return 2;
  }
  Toptions options;
  options.target_x = 320.0;
  options.target_y = 400.0;
  for (const std::string& path : PATTERN_BENCH_FILES(list)) {
    Tpattern pattern;
    const bool ours = PATTERN_BENCH_READ(path, pattern);
    Tpattern_player player;
    if (ours) player.BUILD(pattern);
    std::unique_ptr<BulletMLParserTinyXML> file;
    try {
      file = std::make_unique<BulletMLParserTinyXML>(path.c_str());
      file->build();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "host refuses %s: %s\n", path.c_str(), error.what());
      file.reset();
    }
    Tpattern_run best;
    Thost_run host_best;
    for (int r = 0; r < repeat; ++r) {
      if (ours) {
        const Tpattern_run run = PATTERN_TIME(player, frames);
        if (r == 0 || run.seconds < best.seconds) best = run;
      }
      if (file) {
        const Thost_run run = time_host(*file, options, frames);
        if (r == 0 || run.seconds < host_best.seconds) host_best = run;
      }
    }
    std::printf("%s\t%lld\t%.9g\t%lld\t%.9g\n", path.c_str(), ours ? best.bullet_frames : -1LL,
                ours ? best.seconds : -1.0, file ? host_best.bullet_frames : -1LL, file ? host_best.seconds : -1.0);
  }
  return 0;
}
