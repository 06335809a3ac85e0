// pattern_timing.h - BulletML files played by Vorpane's runner and timed,
// shared by the runner's own benchmark (pattern_bench.cpp, native and
// compiled to WebAssembly) and the side-by-side one with libbulletml
// (tests/bulletml/host/runner_bench.cpp), so that both time the same thing.
//
// Rules:
//  - A run is RESET and `frames` STEPs with the random stream and the
//    target at (320, 400), timed as a whole: two clock reads per run, so
//    that a light file's frames are not drowned by the clock's own cost.
//  - Bullet-frames are the bullets in flight after each step, summed; time
//    per bullet in flight per frame is a run's time over them.
//  - The player is built before any timing: BUILD allocates, STEP does not.
#pragma once

#include <chrono>   // steady_clock
#include <cstdio>   // fprintf
#include <fstream>  // the list of files
#include <string>   // paths
#include <vector>   // the list

#include "bulletml/bulletml_read.h"   // BULLETML_READ_FILE
#include "patterns/pattern_player.h"  // what is timed

struct Tpattern_run {
  double seconds = 0.0;          // the run's STEPs
  long long bullet_frames = 0;   // bullets in flight after each step, summed
  int peak = 0;                  // most in flight after one step
  long long most_commands = 0;   // one frame's, all objects together
  long long most_operations = 0;
  int faults = 0;
};

inline double PATTERN_SECONDS_SINCE(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The host's choices for every benchmark: the random stream, the target
// below the root.
inline Tpattern_input PATTERN_BENCH_INPUT() {
  Tpattern_input input;
  input.target_x = 320.0;
  input.target_y = 400.0;
  return input;
}

inline Tpattern_run PATTERN_TIME(Tpattern_player& player, long frames) {
  const Tpattern_input input = PATTERN_BENCH_INPUT();
  Tpattern_run run;
  player.RESET();
  const auto start = std::chrono::steady_clock::now();
  for (long f = 0; f < frames; ++f) {
    player.STEP(input);
    const int n = player.IN_FLIGHT();
    run.bullet_frames += n;
    if (n > run.peak) run.peak = n;
    if (player.FRAME_COMMANDS() > run.most_commands) run.most_commands = player.FRAME_COMMANDS();
    if (player.FRAME_OPERATIONS() > run.most_operations) run.most_operations = player.FRAME_OPERATIONS();
  }
  run.seconds = PATTERN_SECONDS_SINCE(start);
  run.faults = player.FAULT_COUNT();
  return run;
}

// The paths in `list`, one a line (names may hold blanks and brackets).
inline std::vector<std::string> PATTERN_BENCH_FILES(const std::string& list) {
  std::vector<std::string> files;
  std::ifstream in(list);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) files.push_back(line);
  return files;
}

// False, with the first mistake on stderr, for a file the reader refuses.
inline bool PATTERN_BENCH_READ(const std::string& path, Tpattern& pattern) {
  std::vector<Tbulletml_mistake> mistakes;
  if (BULLETML_READ_FILE(path, pattern, mistakes)) return true;
  std::fprintf(stderr, "refused: %s\n", mistakes.empty() ? path.c_str() : BULLETML_MISTAKE_TEXT(mistakes[0]).c_str());
  return false;
}
