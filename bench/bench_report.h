// bench_report.h - hands benchmark figures to scripts/bench.
//
// Rules:
//  - Every figure is one line "key value" appended to the file named by
//    --figures=PATH; keys are benchmark names with '/' kept, counters as
//    "name.counter". Values are plain decimals in the unit the benchmark
//    reports in (its Unit(), or what the counter's name says).
//  - The console report of Google Benchmark is kept as it is for people.
//  - Without --figures nothing is written.
#pragma once

#include <benchmark/benchmark.h>  // the reporter interface

#include <algorithm>  // nth_element for percentiles
#include <cmath>      // ceil for the nearest rank
#include <cstdio>     // the figures file
#include <cstring>    // argument prefix
#include <string>     // keys
#include <vector>     // samples

class Tfigures {
 public:
  // Takes --figures=PATH out of argv (call after benchmark::Initialize).
  void PARSE(int& argc, char** argv) {
    int out = 1;
    for (int i = 1; i < argc; ++i) {
      if (std::strncmp(argv[i], "--figures=", 10) == 0) path_ = argv[i] + 10;
      else argv[out++] = argv[i];
    }
    argc = out;
  }

  void WRITE(const std::string& key, double value) const {
    if (path_.empty()) return;
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
      std::fprintf(f, "%s %.6g\n", key.c_str(), value);
      std::fclose(f);
    }
  }

  void WRITE_TEXT(const std::string& key, const std::string& text) const {
    if (path_.empty()) return;
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
      std::fprintf(f, "%s %s\n", key.c_str(), text.c_str());
      std::fclose(f);
    }
  }

 private:
  std::string path_;
};

// The console report, plus one figure line per run and per counter.
class Tfigures_reporter : public benchmark::ConsoleReporter {
 public:
  // Plain tables: the output is read in logs and files as often as on a terminal.
  explicit Tfigures_reporter(const Tfigures& figures) : benchmark::ConsoleReporter(OO_Tabular), figures_(figures) {}

  void ReportRuns(const std::vector<Run>& reports) override {
    benchmark::ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
      if (run.error_occurred) continue;
      const std::string name = run.benchmark_name();
      figures_.WRITE(name, run.GetAdjustedRealTime());
      for (const auto& counter : run.counters) figures_.WRITE(name + "." + counter.first, counter.second.value);
    }
  }

 private:
  const Tfigures& figures_;
};

// The q-quantile (0 < q <= 1) of `samples` by the nearest-rank rule (the
// smallest sample with at least q of them at or below it); reorders them.
inline double QUANTILE(std::vector<double>& samples, double q) {
  if (samples.empty()) return 0.0;
  double position = std::ceil(q * static_cast<double>(samples.size()));
  std::size_t rank = position < 1.0 ? 0 : static_cast<std::size_t>(position) - 1;
  if (rank >= samples.size()) rank = samples.size() - 1;
  std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(rank), samples.end());
  return samples[rank];
}
