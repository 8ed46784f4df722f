#include "frontend/interrupts.h"

#include <csignal>
#include <unistd.h>

#include "model/destination_file.h"

namespace vorn {

namespace {

// The signal state is process-wide because a signal handler can reach
// nothing else; with the pending temporary of destination_file.cpp it is the
// only mutable state outside a run's context.  Only lock-free atomics and
// sig_atomic_t are touched by the handler.
std::atomic<bool> raised{false};
volatile std::sig_atomic_t received = 0;
struct sigaction previousInt, previousTerm;

extern "C" void onSignal(int sig) {
  if (raised.load()) {
    // The user insists: no report, no result, and no half-written temporary.
    discardPendingTemporary();
    ::_exit(128 + sig);
  }
  received = sig;
  raised.store(true);
}

}  // namespace

static_assert(std::atomic<bool>::is_always_lock_free, "the signal flag must be lock-free");

InterruptGuard::InterruptGuard() {
  raised.store(false);
  received = 0;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGINT, &sa, &previousInt);
  sigaction(SIGTERM, &sa, &previousTerm);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &previousInt, nullptr);
  sigaction(SIGTERM, &previousTerm, nullptr);
}

const std::atomic<bool>* InterruptGuard::flag() const { return &raised; }

int InterruptGuard::signal() const { return received; }

}  // namespace vorn
