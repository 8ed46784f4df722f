#include "frontend/interrupts.h"

#include <csignal>
#include <cstring>
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
volatile std::sig_atomic_t exitAtOnce = 0;
// 0 while the outcome is open, else 1 + the AfterSettling value.
volatile std::sig_atomic_t settled = 0;
int depth = 0;
struct sigaction previousInt, previousTerm;

const char kIntLine[] = "Interrupted: the run stopped on SIGINT; nothing is written\n";
const char kTermLine[] = "Interrupted: the run stopped on SIGTERM; nothing is written\n";
const char kIntStatisticsLine[] = "Interrupted: SIGINT came while the statistics were written; they are cut short\n";
const char kTermStatisticsLine[] = "Interrupted: SIGTERM came while the statistics were written; they are cut short\n";

[[noreturn]] void endNow(int sig, const char* line) {
  discardPendingTemporary();
  if (line) (void)!::write(STDERR_FILENO, line, std::strlen(line));
  ::_exit(128 + sig);
}

[[noreturn]] void endNow(int sig, bool say) { endNow(sig, say ? (sig == SIGINT ? kIntLine : kTermLine) : nullptr); }

extern "C" void onSignal(int sig) {
  if (settled == 1 + static_cast<int>(AfterSettling::Ignore)) return;
  if (settled == 1 + static_cast<int>(AfterSettling::EndAtOnce))
    endNow(sig, sig == SIGINT ? kIntStatisticsLine : kTermStatisticsLine);
  // A special mode has nothing to keep; a second signal means the user insists.
  // Either way: no report, no result, and no half-written temporary.  A special
  // mode whose result is in place has done its work: a late signal stops nothing.
  if (exitAtOnce && destinationWritten()) return;
  if (exitAtOnce) endNow(sig, true);
  if (raised.load()) endNow(sig, false);
  received = sig;
  raised.store(true);
}

}  // namespace

static_assert(std::atomic<bool>::is_always_lock_free, "the signal flag must be lock-free");

InterruptGuard::InterruptGuard(OnSignal how) : previousHow_(exitAtOnce) {
  if (depth++ == 0) {
    raised.store(false);
    received = 0;
    settled = 0;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, &previousInt);
    sigaction(SIGTERM, &sa, &previousTerm);
  }
  exitAtOnce = how == OnSignal::ExitAtOnce ? 1 : 0;
  // A signal that came under an outer guard that kept it is honoured now.
  if (exitAtOnce && received) endNow(received, true);
}

InterruptGuard::~InterruptGuard() {
  exitAtOnce = previousHow_;
  if (--depth == 0) {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    settled = 0;
  }
}

const std::atomic<bool>* InterruptGuard::flag() const { return &raised; }

int InterruptGuard::signal() const { return received; }

int InterruptGuard::settle(AfterSettling how) {
  // The handler reads `settled` first: once it is set, `received` no longer moves.
  settled = 1 + static_cast<int>(how);
  return received;
}

const char* statisticsCutLine(int sig) { return sig == SIGINT ? kIntStatisticsLine : kTermStatisticsLine; }

const char* interruptedLine(int sig) {
  return sig == SIGINT ? "Interrupted: the run stopped on SIGINT; the best cover so far is written\n\n"
                       : "Interrupted: the run stopped on SIGTERM; the best cover so far is written\n\n";
}

}  // namespace vorn
