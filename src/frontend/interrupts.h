// Interrupts: SIGINT or SIGTERM.  A minimization raises a flag that the
// driver reads at its stop checks, so the run ends with its best cover
// written; a second signal ends the process at once.  The special modes have
// no best-so-far to keep: there the first signal ends the process at once.
// Ending at once never leaves the temporary file of a write in progress.
//
// A minimization settles its outcome once its cover is written, before the
// statistics tell it: from then on a signal can no longer make the exit code
// contradict them.  Where the statistics go to standard output, which cannot
// take back what it printed, a signal during that write ends the process with
// them cut short (a stuck reader must not make the process deaf to SIGTERM);
// otherwise, and once they are out, a late signal changes nothing.
#pragma once

#include <atomic>

namespace vorn {

/// How the first signal is taken.
enum class OnSignal {
  RaiseFlag,   ///< the run watches the flag and ends on its own
  ExitAtOnce,  ///< the process ends with 128 + the signal, writing nothing
};

/// How a signal is taken once a run's outcome is settled.
enum class AfterSettling {
  Ignore,     ///< the outcome stands; the signal changes nothing
  EndAtOnce,  ///< a stream that cannot be taken back is being written: end with 128 + the signal
};

/// Installs the handlers for its lifetime and restores the previous ones after.
/// Guards nest: an inner guard changes how the first signal is taken and keeps
/// a signal that came under the outer one.
class InterruptGuard {
 public:
  /// \brief Installs the SIGINT and SIGTERM handlers; the outermost guard clears the flag.
  explicit InterruptGuard(OnSignal how = OnSignal::RaiseFlag);
  /// \brief Restores the handlers and the way of taking a signal that were in place before.
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  /// \brief The flag the driver watches.
  const std::atomic<bool>* flag() const;
  /// \brief The signal that raised the flag; 0 when none came.
  int signal() const;
  /// \brief Fixes the outcome: the signal that came so far (0 when none); later ones are taken as `how` says.
  int settle(AfterSettling how);

 private:
  int previousHow_;
};

/// \brief The line an interrupted minimization prints once its best cover is written or about to be.
const char* interruptedLine(int sig);
/// \brief The line of a process ended by a signal while its statistics went to standard output.
const char* statisticsCutLine(int sig);

}  // namespace vorn
