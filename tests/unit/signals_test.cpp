// signals_test.cpp - the ending signals' clean-up: it runs, the process then
// ends by the signal as it would have, nested hooks run inner to outer, an
// ignored signal stays ignored, and a previous handler that lets the process
// go on leaves the other signals hooked; a signal ignored for a while gets
// its disposition back. Each case runs in a child process.
#include <gtest/gtest.h>
#include <sys/wait.h>  // waitpid and the child's status
#include <unistd.h>    // fork, pipe, write

#include <string>

#include "platform/signals.h"  // under test

namespace {

int g_report = -1;  // the write end of the child's report pipe

void report_inner() { (void)!write(g_report, "i", 1); }
void report_outer() { (void)!write(g_report, "o", 1); }
void report_handled(int) { (void)!write(g_report, "h", 1); }

struct Tchild_end {
  std::string reports;  // what its clean-ups and handlers wrote, in order
  int signal;           // the signal that ended it; 0 when it exited
};

// Runs `body` in a child and tells how it ended.
template <typename Tbody>
Tchild_end in_child(Tbody body) {
  int ends[2];
  if (pipe(ends) != 0) return {"no pipe", 0};
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    g_report = ends[1];
    body();
    _exit(0);
  }
  close(ends[1]);
  std::string got;
  char c;
  while (read(ends[0], &c, 1) == 1) got += c;
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return {got, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

TEST(Signals, NestedCleanUpsRunInnerFirstThenTheSignalEndsTheProcess) {
  const Tchild_end end = in_child([] {
    Tsignal_hooks outer(report_outer);
    Tsignal_hooks inner(report_inner);
    raise(SIGTERM);
  });
  EXPECT_EQ(end.reports, "io");
  EXPECT_EQ(end.signal, SIGTERM);
}

TEST(Signals, HooksGoneLeaveTheSignalAsItWasAndIgnoredStaysIgnored) {
  const Tchild_end end = in_child([] {
    { Tsignal_hooks gone(report_inner); }
    signal(SIGHUP, SIG_IGN);
    Tsignal_hooks hooks(report_outer);
    raise(SIGHUP);  // ignored before the hooks: still ignored
    Tsignals_blocked blocked;
    raise(SIGINT);  // held until the block ends, then caught
  });
  EXPECT_EQ(end.reports, "o");
  EXPECT_EQ(end.signal, SIGINT);
}

TEST(Signals, AHandlerThatReturnsLeavesTheOtherSignalsCleanedUpAndEnding) {
  const Tchild_end end = in_child([] {
    signal(SIGINT, report_handled);
    Tsignal_hooks hooks(report_inner);
    raise(SIGINT);   // cleaned up, then handed to the handler, which returns
    raise(SIGTERM);  // still hooked: cleaned up again, then the default ends us
  });
  EXPECT_EQ(end.reports, "ihi");
  EXPECT_EQ(end.signal, SIGTERM);
}

TEST(Signals, ASignalIgnoredForAWhileGetsItsDispositionBack) {
  const Tchild_end end = in_child([] {
    {
      Tsignal_ignored ignored(SIGPIPE);
      raise(SIGPIPE);
      report_inner();
    }
    raise(SIGPIPE);
    report_outer();
  });
  EXPECT_EQ(end.reports, "i");
  EXPECT_EQ(end.signal, SIGPIPE);
}

}  // namespace
