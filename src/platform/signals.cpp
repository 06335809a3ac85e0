// signals.cpp - the ending signals' clean-up hooks.
#include "platform/signals.h"

#include <cerrno>  // errno kept across the handler

namespace {

const int k_ending[4] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

Tsignal_hooks* g_current = nullptr;  // the innermost hooks; written with the signals blocked

}  // namespace

void Tsignal_hooks::on_signal(int signal) {
  const int saved_errno = errno;
  Tsignal_hooks* hooks = g_current;
  if (hooks) {
    hooks->cleanup_();
    for (int i = 0; i < 4; ++i)
      if (k_ending[i] == signal && hooks->hooked_[i]) sigaction(signal, &hooks->previous_[i], nullptr);
    // The signal raised again reaches the outer hooks' handler, if any.
    g_current = hooks->outer_;
  }
  // Blocked until this handler returns; then the previous disposition acts,
  // normally ending the process.
  raise(signal);
  errno = saved_errno;
}

Tsignal_hooks::Tsignal_hooks(void (*cleanup)()) : cleanup_(cleanup) {
  Tsignals_blocked blocked;
  outer_ = g_current;
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 4; ++i) {
    if (sigaction(k_ending[i], nullptr, &previous_[i]) == 0 && previous_[i].sa_handler != SIG_IGN)
      hooked_[i] = sigaction(k_ending[i], &action, nullptr) == 0;
  }
  g_current = this;
}

Tsignal_hooks::~Tsignal_hooks() {
  Tsignals_blocked blocked;
  for (int i = 0; i < 4; ++i)
    if (hooked_[i]) sigaction(k_ending[i], &previous_[i], nullptr);
  g_current = outer_;
}

sigset_t SIGNALS_ENDING_SET() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : k_ending) sigaddset(&set, signal);
  return set;
}

Tsignals_blocked::Tsignals_blocked() {
  const sigset_t set = SIGNALS_ENDING_SET();
  sigprocmask(SIG_BLOCK, &set, &previous_);
}

Tsignals_blocked::~Tsignals_blocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
