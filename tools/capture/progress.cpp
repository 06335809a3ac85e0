// progress.cpp - the progress line of a long capture.
#include "capture/progress.h"

#include <unistd.h>  // isatty

#include <cmath>   // lround
#include <cstdio>  // snprintf, fputs on stderr

namespace {

// Time left is minutes and seconds; no frame rate is involved.
constexpr long k_seconds_per_minute = 60;

}  // namespace

std::string PROGRESS_LINE(const char* tool, long done, long total, double seconds) {
  char rate[32] = "-";
  char left[32] = "-";
  if (done > 0 && seconds > 0.0) {
    const double fps = done / seconds;
    const long remaining = std::lround((total - done) / fps);
    std::snprintf(rate, sizeof rate, "%.0f", fps);
    if (remaining < k_seconds_per_minute)
      std::snprintf(left, sizeof left, "%lds", remaining);
    else
      std::snprintf(left, sizeof left, "%ldm%02lds", remaining / k_seconds_per_minute,
                    remaining % k_seconds_per_minute);
  }
  char line[160];
  // "\033[K" clears to the end of the line: a shorter line after a longer one.
  std::snprintf(line, sizeof line, "\r%s: frame %ld of %ld, %s fps, %s left\033[K", tool, done, total, rate, left);
  return line;
}

Tprogress::Tprogress(const char* tool, long total)
    : tool_(tool), total_(total), on_terminal_(isatty(2) != 0), start_(Tclock::now()), last_(start_) {}

void Tprogress::SHOW(long done) {
  if (!on_terminal_) return;
  const Tclock::time_point now = Tclock::now();
  if (shown_ && done < total_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  shown_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  std::fputs(PROGRESS_LINE(tool_, done, total_, seconds).c_str(), stderr);
  std::fflush(stderr);
}

void Tprogress::END() {
  if (!shown_) return;
  std::fputs("\n", stderr);
  shown_ = false;
}
