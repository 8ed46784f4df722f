// FC-Min: implicants from groups of source terms.
//
// An attempt grows a group from the source terms that hold the most still
// uncovered '1's under the group's output mask (ties broken at random), adds
// a term only while the group's '1' region (terms x outputs) does not shrink
// and the depth draw allows it, and takes the supercube of the group as the
// implicant.  A supercube that meets a source term contradicting the mask is
// dropped and a new attempt starts.  Covered '1's are overwritten with '~' in
// private copies of the output parts, so the loop ends when no '1' is left.
//
// Two safety nets keep every run finite.  With direction 0 and a depth factor
// of 0 or -1 every further term is accepted, and an inconsistent source can
// make any group conflict, so attempts could be dropped forever: after as many
// dropped attempts in a row as the source has terms, but never more than
// kDropsInRow (each dropped attempt can cost a scan per source term, so a
// bound that grows with the source would make large runs crawl), the next
// attempt takes only its first term, which on a consistent source never
// conflicts.  When
// even that single term conflicts (the source is inconsistent), its uncovered
// '1's are marked covered without an implicant.
//
// The scoring and the conflict test run over all source terms for every pick,
// so the uncovered '1's and the source's '0'/'1' outputs are kept as bit sets.
#include "fcmin/fc_min.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cover/cover_matrix.h"
#include "driver/random.h"
#include "fcmin/output_masks.h"
#include "fcmin/term_expansion.h"
#include "frontend/settings.h"
#include "tools/dominance.h"

namespace vorn {

namespace {

/// The depth draw random(DF + 1); no draw when DF + 1 is 0.
int depthDraw(int depthFactor) {
  const long long n = std::llabs(static_cast<long long>(depthFactor) + 1);
  if (n == 0) return 0;
  if (n <= 0x7FFFFFFFLL) return randomBelow(static_cast<int>(n));
  return static_cast<int>(nextRandom() % n);  // DF at the int maximum: the range 2^31 exceeds int
}

/// Whether a further term with this gain and depth draw joins the group.
bool acceptFurther(long long gain, int r, int direction) {
  if (gain < 0) return false;
  if (direction == 1) return r > 0;
  if (direction == 0) return r == 0;
  return false;
}

/// The working storage of one FC-Min run over the source f.
class GroupRun {
 public:
  explicit GroupRun(TBoolFnct& f)
      : src_(indexOutputs(f)),
        termCount_(static_cast<int>(src_.terms.size())),
        outputs_(f.outputCount),
        workOnes_(termCount_, outputs_),
        uncovered_(termCount_, 0),
        inGroup_(termCount_, 0),
        maskOnes_(1, outputs_),
        maskZeros_(1, outputs_),
        termsWithOne_(outputs_, termCount_) {
    for (const TPfnct* t : src_.terms) {
      std::string w(outputs_, '~');
      for (int j = 0; j < outputs_; ++j) w[j] = outputAt(*t, j);
      work_.push_back(std::move(w));
    }
    for (int k = 0; k < termCount_; ++k) {
      const std::uint64_t* ones = src_.ones.row(k);
      std::copy(ones, ones + workOnes_.words(), workOnes_.row(k));
      uncovered_[k] = countCommon(ones, ones, workOnes_.words());
      onesTotal_ += uncovered_[k];
      for (int j = 0; j < outputs_; ++j)
        if (ones[j >> 6] >> (j & 63) & 1) setBit(termsWithOne_.row(j), k);
    }
    remaining_ = onesTotal_;
  }

  int onesTotal() const { return onesTotal_; }
  int remaining() const { return remaining_; }
  int termCount() const { return termCount_; }

  /// Grows one group (steps: scoring, pick, depth draw, decision); false when no term could start it.
  bool buildGroup(bool firstOnly) {
    std::fill(inGroup_.begin(), inGroup_.end(), 0);
    mask_.assign(outputs_, '1');
    syncMaskBits();
    members_.clear();
    long long ones = 0;
    const int depthFactor = settings().depthFactor;
    const int direction = settings().dfDirection;
    for (;;) {
      if (members_.empty())
        scoreFirst();
      else
        score();
      if (candidates_.empty()) break;
      const int k = candidates_[randomBelow(static_cast<int>(candidates_.size()))];
      const long long m = static_cast<long long>(members_.size());
      long long gain = 0;
      if (m > 0) {
        const long long lost = countCommon(src_.zeros.row(k), maskOnes_.row(0), maskOnes_.words());
        gain = (ones - lost) * (m + 1) - ones * m;
      }
      const int r = depthDraw(depthFactor);
      if (m > 0 && !acceptFurther(gain, r, direction)) break;
      ones = accept(k);
      if (firstOnly) break;
      if (members_.size() == 1) collectActive();
    }
    return !members_.empty();
  }

  /// The supercube of the group's input cubes, taken in list order.
  Cube groupCube() {
    std::sort(members_.begin(), members_.end());
    Cube cube = src_.terms[members_[0]]->input;
    for (std::size_t i = 1; i < members_.size(); ++i) cube.supercube(src_.terms[members_[i]]->input);
    return cube;
  }

  /// True when a source term outside the group meets `cube` with '1' against '0' under the mask;
  /// the terms outside the group that meet the cube are kept for the '~' resolution.
  bool conflicts(const Cube& cube) {
    meeting_.clear();
    const int words = maskOnes_.words();
    for (int u = 0; u < termCount_; ++u) {
      if (inGroup_[u] || !src_.terms[u]->input.intersects(cube)) continue;
      if (anyCommon(src_.ones.row(u), maskZeros_.row(0), words) ||
          anyCommon(src_.zeros.row(u), maskOnes_.row(0), words))
        return true;
      meeting_.push_back(u);
    }
    return false;
  }

  /// A '~' of the mask becomes '0' where a term meeting the group's cube holds '0'.
  void resolveTildes() {
    for (int u : meeting_)
      for (int j = 0; j < outputs_; ++j)
        if (mask_[j] == '~' && work_[u][j] == '0') mask_[j] = '0';
  }

  /// Marks the group's uncovered '1's under the mask's '1's as covered.
  void coverGroup() {
    for (int k : members_)
      for (int j = 0; j < outputs_; ++j)
        if (mask_[j] == '1' && work_[k][j] == '1') markCovered(k, j);
  }

  /// Safety net for an inconsistent source: the group's uncovered '1's count as covered.
  void abandonGroup() {
    for (int k : members_)
      for (int j = 0; j < outputs_; ++j)
        if (work_[k][j] == '1') markCovered(k, j);
  }

  const std::string& mask() const { return mask_; }

 private:
  /// The first pick of a group: under a mask of all '1's a term's score is its
  /// count of uncovered '1's.  Until a '1' is covered every attempt starts
  /// from the same state, so the candidates are kept for the next attempt.
  void scoreFirst() {
    if (firstValid_) {
      candidates_ = firstCandidates_;
      return;
    }
    candidates_.clear();
    int best = 0;
    for (int k = 0; k < termCount_; ++k) {
      const int s = uncovered_[k];
      if (s == 0 || s < best) continue;
      if (s > best) candidates_.clear();
      best = s;
      candidates_.push_back(k);
    }
    firstCandidates_ = candidates_;
    firstValid_ = true;
  }

  /// After the first pick only the terms with an uncovered '1' under the
  /// mask's '1's can score: gathered from the per-output term sets, in list order.
  void collectActive() {
    active_.clear();
    const int words = termsWithOne_.words();
    scratch_.assign(static_cast<std::size_t>(words), 0);
    const std::uint64_t* mask = maskOnes_.row(0);
    for (int j = 0; j < outputs_; ++j) {
      if (!(mask[j >> 6] >> (j & 63) & 1)) continue;
      const std::uint64_t* terms = termsWithOne_.row(j);
      for (int w = 0; w < words; ++w) scratch_[static_cast<std::size_t>(w)] |= terms[w];
    }
    for (int w = 0; w < words; ++w)
      for (std::uint64_t bits = scratch_[static_cast<std::size_t>(w)]; bits; bits &= bits - 1)
        active_.push_back(w * 64 + __builtin_ctzll(bits));
  }

  /// Candidates: the terms outside the group with the highest positive score, in list order.
  /// Within a group the mask only loses '1's, so a score never grows: a term that
  /// scores 0 or joins the group leaves the active list for the rest of the group.
  void score() {
    candidates_.clear();
    int best = -1;
    const int words = maskOnes_.words();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < active_.size(); ++i) {
      const int k = active_[i];
      if (inGroup_[k]) continue;
      const int s = countCommon(workOnes_.row(k), maskOnes_.row(0), words);
      if (s == 0) continue;
      active_[kept++] = k;
      if (s == best) candidates_.push_back(k);
      if (s > best) {
        candidates_.assign(1, k);
        best = s;
      }
    }
    active_.resize(kept);
  }

  /// Adds term k to the group and narrows the mask; returns the number of '1's in the mask.
  long long accept(int k) {
    inGroup_[k] = 1;
    members_.push_back(k);
    const bool first = members_.size() == 1;
    for (int j = 0; j < outputs_; ++j) {
      const char c = work_[k][j];
      if (c == '0') mask_[j] = '0';
      else if (c == '~' && mask_[j] == '1' && first) mask_[j] = '~';
    }
    syncMaskBits();
    return countCommon(maskOnes_.row(0), maskOnes_.row(0), maskOnes_.words());
  }

  void syncMaskBits() {
    markChar(maskOnes_.row(0), maskOnes_.words(), mask_, outputs_, '1');
    markChar(maskZeros_.row(0), maskZeros_.words(), mask_, outputs_, '0');
  }

  void markCovered(int k, int j) {
    work_[k][j] = '~';
    clearBit(workOnes_.row(k), j);
    clearBit(termsWithOne_.row(j), k);
    firstValid_ = false;
    --uncovered_[k];
    --remaining_;
  }

  OutputMasks src_;
  int termCount_;
  int outputs_;
  std::vector<std::string> work_;  // workOutputs: covered '1's become '~'
  BitRows workOnes_;               // the '1's of work_ as bits
  std::vector<int> uncovered_;     // per term, the '1's left in work_
  int onesTotal_ = 0;
  int remaining_ = 0;
  std::vector<char> inGroup_;
  std::string mask_;  // groupMask
  BitRows maskOnes_, maskZeros_;
  std::vector<int> members_;     // group terms in order of acceptance
  std::vector<int> candidates_;  // tied best-scoring terms, in list order
  std::vector<int> active_;      // terms that may still score in this group, in list order
  BitRows termsWithOne_;         // per output, the terms with an uncovered '1' there
  std::vector<std::uint64_t> scratch_;
  std::vector<int> firstCandidates_;  // the first pick's candidates while no '1' was covered
  bool firstValid_ = false;
  std::vector<int> meeting_;     // terms outside the group meeting its cube
};

}  // namespace

FunctionPtr FcMin(TBoolFnct& f) {
  constexpr int kDropsInRow = 16;
  GroupRun run(f);
  FunctionPtr g = derive(f);
  g->type = 0;
  progress().begin("Minimizing PLA using FC-Min", run.onesTotal(), 1);
  int droppedInRow = 0;
  bool stopped = false;
  while (run.remaining() != 0) {
    const bool firstOnly = droppedInRow >= std::min(run.termCount(), kDropsInRow);
    if (!run.buildGroup(firstOnly)) break;  // no uncovered '1' can start a group
    const Cube cube = run.groupCube();
    if (run.conflicts(cube)) {
      if (!firstOnly) {
        ++droppedInRow;  // dropped without trace
        continue;
      }
      run.abandonGroup();
    } else {
      run.resolveTildes();
      run.coverGroup();
      appendTerm(*g, cube, run.mask(), cube.countDashes());
    }
    droppedInRow = 0;
    if (progress().step(run.onesTotal() - run.remaining(), 0) == 2) {
      stopped = true;
      break;
    }
  }
  progress().end();
  if (run.remaining() != 0 && stopped) return nullptr;
  ExpandTerms(*g);
  return g;
}

FunctionPtr FcMinStep(TBoolFnct& f, FunctionPtr accumulated) {
  std::fputs("FCmin step started .. \n\n", stderr);
  FunctionPtr g = FcMin(f);
  if (!g) {
    // Stopped by the progress hook: nothing new to merge.
    if (accumulated) return accumulated;
    FunctionPtr empty = derive(f);
    empty->type = 0;
    return empty;
  }
  DetermineCover(*g);
  if (!accumulated) return g;
  RemoveDominatedTerms(*accumulated, *g);
  RemoveDominatedTerms(*g, *accumulated);
  absorb(*accumulated, std::move(g));
  return accumulated;
}

}  // namespace vorn
