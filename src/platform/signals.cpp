// signals.cpp - the ending signals' clean-up hooks.
#include "platform/signals.h"

#include <cerrno>  // errno kept across the handler

namespace {

const int k_ending[4] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

Tsignal_hooks* g_current = nullptr;  // the innermost hooks; written with the signals blocked

int ending_index(int signal) {
  for (int i = 0; i < 4; ++i)
    if (k_ending[i] == signal) return i;
  return -1;
}

}  // namespace

void Tsignal_hooks::on_signal(int signal) {
  const int saved_errno = errno;
  const int which = ending_index(signal);
  // The hooks whose handler this is: the innermost that still holds the
  // signal. Inner hooks that handed it back are passed over, so a signal
  // raised again reaches the outer clean-up, and a second signal after a
  // previous handler that returned does not find a hooks that let it go.
  Tsignal_hooks* hooks = which < 0 ? nullptr : g_current;
  while (hooks && !hooks->hooked_[which]) hooks = hooks->outer_;
  if (hooks) {
    hooks->cleanup_();
    sigaction(signal, &hooks->previous_[which], nullptr);
    hooks->hooked_[which] = false;
    // Blocked until this handler returns; then the previous disposition acts,
    // normally ending the process.
    raise(signal);
  }
  errno = saved_errno;
}

Tsignal_hooks::Tsignal_hooks(void (*cleanup)()) : cleanup_(cleanup) {
  Tsignals_blocked blocked;
  outer_ = g_current;
  struct sigaction action = {};
  action.sa_handler = on_signal;
  // One clean-up at a time: another ending signal waits until it is done.
  action.sa_mask = SIGNALS_ENDING_SET();
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

Tsignal_ignored::Tsignal_ignored(int signal) : signal_(signal) {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  changed_ = sigaction(signal, &ignore, &previous_) == 0;
}

Tsignal_ignored::~Tsignal_ignored() {
  if (changed_) sigaction(signal_, &previous_, nullptr);
}
