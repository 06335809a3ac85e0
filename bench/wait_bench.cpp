// wait_bench.cpp - the two frame waits side by side in one run: the CPU
// time of the show's main thread and of its whole process, and the
// present-to-present intervals, under the busy-wait and the sleeping wait
// taking turns.
//
//   vorpane-bench-wait [--frames=N] [--block=B] [--figures=PATH]
//
// Rules:
//  - The show as `vorpane` runs it: SHOW_START with the show's own setup
//    (its pixel format, 2 samples requested), SHOW_LOOP_BEGIN, then the
//    loop's body SHOW_LOOP_FRAME with its wait switched between busy and
//    sleep every B frames (60: a second), N frames of each (600) after a
//    first second left out; the schedules' reports go to stdout
//    (scripts/bench-wait sends them to /dev/null, as `vorpane > /dev/null`
//    does). Taking turns a second at a time puts both waits under the same
//    load, which on a shared machine changes by the second.
//  - CPU time from /proc, read at every switch: the main thread's from
//    /proc/self/task/PID/schedstat (its id is the process's; nanoseconds on
//    the processor), the process's as the sum of every thread's.
//  - One window per process, opened once for both waits.
#include <dirent.h>  // the process's threads
#include <unistd.h>  // getpid

#include <cmath>    // the intervals' spread
#include <cstdio>   // the summary
#include <cstdlib>  // atol
#include <cstring>  // argument prefixes
#include <fstream>  // /proc's schedstat files
#include <string>   // paths
#include <vector>   // intervals

#include "bench_report.h"      // figures for scripts/bench
#include "show/show.h"         // the show's start-up and the loop's body
#include "platform/timer.h"    // the present times

namespace {

// Seconds on the processor, the first field of a schedstat file.
double schedstat_seconds(const std::string& path) {
  std::ifstream in(path);
  double ns = 0.0;
  in >> ns;
  return ns * 1e-9;
}

double process_seconds() {
  double total = 0.0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* task = readdir(tasks))
      if (task->d_name[0] != '.') total += schedstat_seconds(std::string("/proc/self/task/") + task->d_name + "/schedstat");
    closedir(tasks);
  }
  return total;
}

struct Twait_figures {
  std::vector<double> intervals;
  double seconds = 0.0, thread = 0.0, process = 0.0;
};

}  // namespace

int main(int argc, char** argv) {
  Tfigures figures;
  figures.PARSE(argc, argv);
  long frames = 600, block = 60;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::atol(argv[i] + 9);
    else if (std::strncmp(argv[i], "--block=", 8) == 0) block = std::atol(argv[i] + 8);
    else {
      std::fprintf(stderr, "usage: vorpane-bench-wait [--frames=N] [--block=B] [--figures=PATH]\n");
      return 2;
    }
  }
  if (frames < 2 || block < 1) {
    std::fprintf(stderr, "vorpane-bench-wait: --frames at least 2, --block at least 1\n");
    return 2;
  }
  const std::string thread_stat = "/proc/self/task/" + std::to_string(getpid()) + "/schedstat";

  Tshow_setup setup;
  setup.atlas = VORPANE_SOURCE_DIR "/assets/parts.png";
  Tshow show;
  SHOW_START(show, setup);
  Tshow_loop loop{Tshow_controls()};
  SHOW_LOOP_BEGIN(show, loop);
  for (long f = 0; f < VP_FRAMES_PER_SECOND; ++f) SHOW_LOOP_FRAME(show, loop);

  Twait_figures waits[2];  // busy, sleep
  for (Twait_figures& w : waits) w.intervals.reserve(static_cast<std::size_t>(frames));
  double presented = TIMER();
  for (long turn = 0; waits[1].intervals.size() < static_cast<std::size_t>(frames); ++turn) {
    Twait_figures& w = waits[turn % 2];
    loop.controls.wait = turn % 2 ? Tframe_wait::sleep : Tframe_wait::busy;
    const double thread0 = schedstat_seconds(thread_stat), process0 = process_seconds(), start = presented;
    for (long f = 0; f < block && w.intervals.size() < static_cast<std::size_t>(frames); ++f) {
      SHOW_LOOP_FRAME(show, loop);
      const double now = TIMER();
      w.intervals.push_back(now - presented);
      presented = now;
    }
    w.seconds += presented - start;
    w.thread += schedstat_seconds(thread_stat) - thread0;
    w.process += process_seconds() - process0;
  }
  std::fflush(stdout);

  const char* names[2] = {"busy", "sleep"};
  for (int k = 0; k < 2; ++k) {
    std::vector<double>& v = waits[k].intervals;
    double sum = 0.0, worst = 0.0;
    std::vector<double> deviation;
    for (double i : v) {
      sum += i;
      if (i > worst) worst = i;
      deviation.push_back(std::fabs(i - VP_FRAME_SECONDS));
    }
    const double mean = sum / static_cast<double>(v.size());
    double squares = 0.0;
    for (double i : v) squares += (i - mean) * (i - mean);
    const double sd = std::sqrt(squares / static_cast<double>(v.size() - 1));
    const double thread_pct = waits[k].thread / waits[k].seconds * 100.0;
    const double process_pct = waits[k].process / waits[k].seconds * 100.0;
    const std::string key = std::string("wait.") + names[k] + ".";
    figures.WRITE(key + "intervals", static_cast<double>(v.size()));
    figures.WRITE(key + "seconds", waits[k].seconds);
    figures.WRITE(key + "main_cpu_pct", thread_pct);
    figures.WRITE(key + "process_cpu_pct", process_pct);
    figures.WRITE(key + "mean_ms", mean * 1e3);
    figures.WRITE(key + "sd_ms", sd * 1e3);
    figures.WRITE(key + "worst_ms", worst * 1e3);
    figures.WRITE(key + "p99_dev_ms", QUANTILE(deviation, 0.99) * 1e3);
    std::fprintf(stderr,
                 "%s wait, %zu intervals over %.2f s: main thread %.1f %% of a core, process %.1f %%; interval mean "
                 "%.4f ms, sd %.3f ms, worst %.3f ms\n",
                 names[k], v.size(), waits[k].seconds, thread_pct, process_pct, mean * 1e3, sd * 1e3, worst * 1e3);
  }
  figures.WRITE("wait.block", static_cast<double>(block));
  return 0;
}
