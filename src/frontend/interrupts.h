// Interrupts during minimization: SIGINT or SIGTERM raises a flag that the
// driver reads at its stop checks, so the run ends with its best cover
// written; a second signal ends the process at once.
#pragma once

#include <atomic>

namespace vorn {

/// Installs the handlers for its lifetime and restores the previous ones after.
class InterruptGuard {
 public:
  /// \brief Clears the flag and installs the SIGINT and SIGTERM handlers.
  InterruptGuard();
  /// \brief Restores the handlers that were in place before.
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  /// \brief The flag the driver watches.
  const std::atomic<bool>* flag() const;
  /// \brief The signal that raised the flag; 0 when none came.
  int signal() const;
};

}  // namespace vorn
