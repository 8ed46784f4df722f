// The stop check of a run: an optional point in time and an optional flag
// that something outside the run raises (a signal handler, or the sibling
// runs of a parallel set that share one limit).  It sits in the model so
// that every subsystem can take it; without a time and without a flag it
// is never expired and costs one test of two empty fields.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>

namespace vorn {

struct Deadline {
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> at;            ///< none: no time limit
  const std::atomic<bool>* interrupt = nullptr;   ///< none: nothing can interrupt the run

  /// \brief True once the interrupt flag is raised.
  bool interrupted() const { return interrupt && interrupt->load(std::memory_order_relaxed); }
  /// \brief True once the time is up or the interrupt flag is raised.
  bool expired() const { return interrupted() || (at && Clock::now() >= *at); }
  /// \brief This deadline brought forward to `t` when `t` comes sooner (none: as it is); the interrupt
  /// stays.
  Deadline until(std::optional<Clock::time_point> t) const {
    Deadline d = *this;
    if (t && (!at || *t < *at)) d.at = t;
    return d;
  }
  /// \brief The deadline `seconds` after `start`; no time limit when the time is beyond any clock.
  static std::optional<Clock::time_point> after(Clock::time_point start, double seconds) {
    // A limit beyond a few decades is no limit; it would overflow the clock.
    if (!(seconds < 1e9)) return std::nullopt;
    return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  }
};

/// A deadline looked at from a loop whose steps are too short to read the
/// clock every time: it reads it on the first call and then every `every`
/// calls, and once expired it stays expired.  Without a time and a flag it
/// never reads anything.
class DeadlineProbe {
 public:
  DeadlineProbe(const Deadline& d, int every)
      : d_(d), every_(every > 0 ? every : 1), live_(d.at || d.interrupt), count_(every_ - 1) {}
  /// \brief True once the deadline was seen expired.
  bool expired() {
    if (!live_ || hit_) return hit_;
    if (++count_ < every_) return false;
    count_ = 0;
    hit_ = d_.expired();
    return hit_;
  }

 private:
  const Deadline& d_;
  int every_;
  bool live_;
  int count_;
  bool hit_ = false;
};

}  // namespace vorn
