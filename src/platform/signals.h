// signals.h - a clean-up that runs when a signal ends the process.
//
// Rules:
//  - The ending signals are SIGHUP, SIGINT, SIGQUIT and SIGTERM. While a
//    Tsignal_hooks lives, each of them that the process does not ignore runs
//    its clean-up, then gets back the disposition it had before and is
//    raised again, so the process ends (or not) exactly as it would have.
//  - A signal ignored when the hooks are made (a background job, nohup)
//    stays ignored.
//  - The clean-up runs inside a signal handler, with the ending signals
//    blocked: it may use only async-signal-safe calls, and reads state that
//    the program writes with the signals blocked (Tsignals_blocked).
//  - The clean-up may run more than once: a signal whose previous handler
//    lets the process go on leaves the other signals hooked, and the next one
//    runs it again. It must be safe to repeat.
//  - Hooks nest: an inner one hands the signal on to the outer one's
//    clean-up. They are made and destroyed in reverse order on one thread.
//  - No SA_RESTART: a blocking read or wait returns with EINTR when a signal
//    that does not end the process arrives.
#pragma once

#include <signal.h>  // sigaction, sigset_t

class Tsignal_hooks {
 public:
  explicit Tsignal_hooks(void (*cleanup)());
  ~Tsignal_hooks();
  Tsignal_hooks(const Tsignal_hooks&) = delete;
  Tsignal_hooks& operator=(const Tsignal_hooks&) = delete;

 private:
  static void on_signal(int signal);

  void (*cleanup_)();
  Tsignal_hooks* outer_;
  struct sigaction previous_[4];
  // Whether this hooks' handler is the signal's disposition; a handler that
  // has handed its signal back clears it, so the signal's next arrival
  // reaches the outer hooks.
  bool hooked_[4] = {};
};

// Blocks the ending signals for its life: state a clean-up reads is changed
// inside one, so a handler never sees it half written.
class Tsignals_blocked {
 public:
  Tsignals_blocked();
  ~Tsignals_blocked();
  Tsignals_blocked(const Tsignals_blocked&) = delete;
  Tsignals_blocked& operator=(const Tsignals_blocked&) = delete;

 private:
  sigset_t previous_;
};

// Ignores one signal for its life, then gives back the disposition it had
// (SIGPIPE while writing to a child: a write to a child that has gone then
// fails with EPIPE instead of ending the process).
class Tsignal_ignored {
 public:
  explicit Tsignal_ignored(int signal);
  ~Tsignal_ignored();
  Tsignal_ignored(const Tsignal_ignored&) = delete;
  Tsignal_ignored& operator=(const Tsignal_ignored&) = delete;

 private:
  int signal_;
  struct sigaction previous_;
  bool changed_;
};

// The ending signals as a set (to give a child process their defaults).
sigset_t SIGNALS_ENDING_SET();
