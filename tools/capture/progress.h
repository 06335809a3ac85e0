// progress.h - one line on a terminal's stderr, redrawn in place, telling
// how far a long capture has come.
//
// Rules:
//  - Nothing at all is written unless stderr is a terminal: logs and pipes
//    get only what the tool has to say.
//  - The line is "\r<tool>: frame D of T, F fps, Ns left" and erases what
//    an older, longer line left behind. It is redrawn at most ten times a
//    second (a monotonic clock: a changed wall clock does not matter), and
//    always for the last frame.
//  - END finishes the line with a newline, so that whatever is printed next
//    starts on a line of its own; call it before reporting an error too.
#pragma once

#include <chrono>  // steady_clock
#include <string>  // the line

// The text of the line for `done` of `total` frames after `seconds`.
std::string PROGRESS_LINE(const char* tool, long done, long total, double seconds);

class Tprogress {
 public:
  Tprogress(const char* tool, long total);
  ~Tprogress() { END(); }
  Tprogress(const Tprogress&) = delete;
  Tprogress& operator=(const Tprogress&) = delete;

  void SHOW(long done);
  void END();

 private:
  using Tclock = std::chrono::steady_clock;
  const char* tool_;
  long total_;
  bool on_terminal_;
  bool shown_ = false;
  Tclock::time_point start_;
  Tclock::time_point last_;
};
