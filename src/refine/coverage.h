// Coverage questions judged minterm by minterm: is the on-set part of a cube
// covered by the other terms of an output, and what part is not.
#pragma once

#include <cstdint>
#include <vector>

#include "refine/refine_problem.h"
#include "unate/containment.h"
#include "unate/meet_index.h"
#include "unate/uncovered_supercube.h"

namespace vorn {

class Coverage {
 public:
  /// \brief Coverage of the source's on-set by the live terms of `cover` (both borrowed).
  Coverage(const RefineSource& source, const Cover& cover);
  /// \brief True when every on-set minterm of output j in the packed cube p lies in a live term other
  /// than `skip` that has output j.
  bool coveredByOthers(const std::uint64_t* p, int j, int skip);
  /// \brief Widens `acc` (packed) by the supercube of the on-set minterms of output j in p that no other
  /// live term with j covers; true when there were any.  `acc` must start empty-marked by `accEmpty`.
  bool addUncovered(const std::uint64_t* p, int j, int skip, std::vector<std::uint64_t>& acc, bool& accEmpty);
  /// \brief The tautology work so far.
  long long tautologyChecks() const { return check_.stats().checks; }

 private:
  /// \brief Lists the terms (other than skip) and the on-set cubes that meet p, unless p and skip are
  /// those of the last call; liveness and outputs are judged when the lists are used.
  void focus(const std::uint64_t* p, int skip);
  /// \brief Fills others_ with the cofactor of the live terms with j (not skip) with respect to p;
  /// true when one of them contains p whole.
  bool gather(const std::uint64_t* p, int j, int skip);

  const RefineSource& source_;
  const Cover& cover_;
  MeetIndex coverIndex_;  ///< over the cover as it came: its cubes only shrink while this lives
  int focusSkip_ = -1;
  bool focused_ = false;
  std::vector<int> nearTerms_, nearOn_;
  CubeList others_;
  ContainmentCheck check_;
  std::vector<std::uint64_t> piece_, part_, focusCube_;
  UncoveredParams limits_;
};

}  // namespace vorn
