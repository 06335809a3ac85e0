// wait_bench.cpp - the frame wait's cost and evenness: the CPU time of the
// show's main thread and of its whole process over a run of frames, and
// the present-to-present intervals of the same frames.
//
//   vorpane-bench-wait --wait=busy|sleep [--frames=N] [--figures=PATH]
//
// Rules:
//  - The show as `vorpane` runs it: SHOW_START with the show's own setup
//    (its pixel format, 2 samples requested), then SHOW_RUN with the wait
//    asked for; the schedules' reports go to stdout (scripts/bench-wait
//    sends them to /dev/null, as `vorpane > /dev/null` does).
//  - The first second (60 frames) is left out: start-up and the first
//    frames' warming of the renderer are not the wait's. Then N intervals
//    (600 by default: ten seconds), with the CPU times read from
//    /proc/self/task/PID/stat (the main thread: its id is the process's)
//    and /proc/self/stat at their first and last present.
//  - One window per process: each wait is its own run.
#include <unistd.h>  // sysconf, getpid

#include <cmath>    // the intervals' spread
#include <cstdio>   // /proc, the summary
#include <cstdlib>  // atol
#include <cstring>  // argument prefixes
#include <fstream>  // /proc's stat files
#include <sstream>  // their fields
#include <string>   // paths
#include <vector>   // present times

#include "bench_report.h"      // figures for scripts/bench
#include "show/show.h"         // the show's start-up and loop
#include "platform/timer.h"    // the present times

namespace {

constexpr long k_warm_frames = 60;

// utime + stime of a /proc stat file, in seconds.
double cpu_seconds(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  // The command name, in parentheses, may hold spaces: count from after it.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0.0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  double ticks = 0.0;
  for (int k = 3; k <= 15 && fields >> field; ++k)
    if (k == 14 || k == 15) ticks += std::atof(field.c_str());
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Trun {
  long warm = k_warm_frames;
  long last = 0;  // the frame whose present ends the measure
  std::string thread_stat, process_stat;
  std::vector<double> at;  // TIMER() after each measured present
  double thread_start = 0.0, process_start = 0.0, thread_end = 0.0, process_end = 0.0;
};

void on_present(void* context, long frame) {
  Trun& run = *static_cast<Trun*>(context);
  if (frame < run.warm) return;
  run.at.push_back(TIMER());
  if (frame == run.warm) {
    run.thread_start = cpu_seconds(run.thread_stat);
    run.process_start = cpu_seconds(run.process_stat);
  } else if (frame == run.last) {
    run.thread_end = cpu_seconds(run.thread_stat);
    run.process_end = cpu_seconds(run.process_stat);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Tfigures figures;
  figures.PARSE(argc, argv);
  std::string wait = "busy";
  long frames = 600;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--wait=", 7) == 0) wait = argv[i] + 7;
    else if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::atol(argv[i] + 9);
    else {
      std::fprintf(stderr, "usage: vorpane-bench-wait --wait=busy|sleep [--frames=N] [--figures=PATH]\n");
      return 2;
    }
  }
  if ((wait != "busy" && wait != "sleep") || frames < 2) {
    std::fprintf(stderr, "vorpane-bench-wait: --wait is busy or sleep, --frames at least 2\n");
    return 2;
  }

  Tshow_setup setup;
  setup.atlas = VORPANE_SOURCE_DIR "/assets/parts.png";
  Tshow_controls controls;
  controls.wait = wait == "sleep" ? Tframe_wait::sleep : Tframe_wait::busy;
  Trun run;
  run.last = run.warm + frames;
  run.thread_stat = "/proc/self/task/" + std::to_string(getpid()) + "/stat";
  run.process_stat = "/proc/self/stat";
  run.at.reserve(static_cast<std::size_t>(frames + 1));
  const Tframe_observer observer = {on_present, &run};

  Tshow show;
  SHOW_START(show, setup);
  SHOW_RUN(show, run.last, &observer, controls);
  std::fflush(stdout);

  const std::vector<double>& t = run.at;
  const std::size_t n = t.size();
  if (n < 3) {
    std::fprintf(stderr, "vorpane-bench-wait: too few frames presented\n");
    return 1;
  }
  double sum = 0.0, worst = 0.0, worst_dev = 0.0;
  std::vector<double> deviation;
  for (std::size_t k = 1; k < n; ++k) {
    const double interval = t[k] - t[k - 1];
    sum += interval;
    if (interval > worst) worst = interval;
    deviation.push_back(std::fabs(interval - VP_FRAME_SECONDS));
    if (deviation.back() > worst_dev) worst_dev = deviation.back();
  }
  const double mean = sum / static_cast<double>(n - 1);
  double squares = 0.0;
  for (std::size_t k = 1; k < n; ++k) squares += (t[k] - t[k - 1] - mean) * (t[k] - t[k - 1] - mean);
  const double sd = std::sqrt(squares / static_cast<double>(n - 2));
  const double seconds = t[n - 1] - t[0];
  const double thread_pct = (run.thread_end - run.thread_start) / seconds * 100.0;
  const double process_pct = (run.process_end - run.process_start) / seconds * 100.0;

  const std::string key = "wait." + wait + ".";
  figures.WRITE(key + "intervals", static_cast<double>(n - 1));
  figures.WRITE(key + "seconds", seconds);
  figures.WRITE(key + "main_cpu_pct", thread_pct);
  figures.WRITE(key + "process_cpu_pct", process_pct);
  figures.WRITE(key + "mean_ms", mean * 1e3);
  figures.WRITE(key + "sd_ms", sd * 1e3);
  figures.WRITE(key + "worst_ms", worst * 1e3);
  figures.WRITE(key + "p99_dev_ms", QUANTILE(deviation, 0.99) * 1e3);
  figures.WRITE(key + "max_dev_ms", worst_dev * 1e3);
  std::fprintf(stderr,
               "%s wait, %zu intervals over %.2f s: main thread %.1f %% of a core, process %.1f %%; interval mean "
               "%.4f ms, sd %.3f ms, worst %.3f ms\n",
               wait.c_str(), n - 1, seconds, thread_pct, process_pct, mean * 1e3, sd * 1e3, worst * 1e3);
  return 0;
}
