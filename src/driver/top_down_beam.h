// The beam of the top-down starts of a timed run's refinements from drawn starts.
//
// A wider beam builds better covers top-down, at a cost that grows with it:
// a start of beam 256 on a sampled function takes a third of a second or
// more.  Each start keeps twice as many partial cubes as the one before, so
// the effort grows with the time the run has.  Where pool steps share the
// time (one-output functions whose on-set terms are minterms), that effort
// pays only while the top-down covers are among the best ones: s_dnf256's
// come out below the best cover from beam 64 on, s_thresh40's stay a tenth
// above it at every beam, and there a wide start builds a cover that is
// thrown away while the pool steps and cheaper drawn starts would use the
// time better.  So once a start of the widest beam has run, the beam halves
// after a cover far above the best and doubles after one no costlier.
#pragma once

#include <algorithm>

namespace vorn {

/// The partial cubes the first top-down start of a run keeps per step, and the most any keeps.
constexpr int kFirstBeam = 8, kMostBeam = 256;
/// The share by which a top-down cover may cost more than the best before the beam halves.
constexpr double kBeamSlack = 0.05;

/// \brief The beam of the next top-down start, told after each start.
class TopDownBeam {
 public:
  /// \brief The beam the next start keeps.
  int next() const { return next_; }
  /// \brief After a start of beam `beam` whose cover cost `built` (-1: none was built) while the best
  /// cover cost `best`; `pooled`: pool steps share the run's time.
  void after(int beam, long long built, long long best, bool pooled) {
    if (!pooled || !widest_) {
      next_ = std::min(2 * next_, kMostBeam);
      widest_ = beam == kMostBeam;
    } else if (built >= 0 && built <= best) {
      next_ = std::min(2 * next_, kMostBeam);
    } else if (built >= 0 && static_cast<double>(built) > (1 + kBeamSlack) * static_cast<double>(best)) {
      next_ = std::max(next_ / 2, kFirstBeam);
    }
  }

 private:
  int next_ = kFirstBeam;
  bool widest_ = false;  ///< a start of kMostBeam has run
};

}  // namespace vorn
