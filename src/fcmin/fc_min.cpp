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
#include <unordered_map>

#include "cover/cover_matrix.h"
#include "cover/dominance.h"
#include "fcmin/output_masks.h"
#include "fcmin/term_expansion.h"
#include "model/term_removal.h"
#include "unate/implicant_tester.h"

namespace vorn {

namespace {

/// The depth draw random(DF + 1); no draw when DF + 1 is 0.
int depthDraw(int depthFactor, Random& random) {
  const long long n = std::llabs(static_cast<long long>(depthFactor) + 1);
  if (n == 0) return 0;
  if (n <= 0x7FFFFFFFLL) return random.randomBelow(static_cast<int>(n));
  return static_cast<int>(random.nextRandom() % n);  // DF at the int maximum: the range 2^31 exceeds int
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
  GroupRun(TBoolFnct& f, RunContext& run)
      : run_(run),
        f_(f),
        src_(indexOutputs(f)),
        termCount_(static_cast<int>(src_.terms.size())),
        outputs_(f.outputCount),
        workOnes_(termCount_, bits::wordsFor(outputs_)),
        uncovered_(termCount_, 0),
        inGroup_(termCount_, 0),
        inGroupBits_(1, bits::wordsFor(termCount_)),
        maskOnes_(1, bits::wordsFor(outputs_)),
        maskZeros_(1, bits::wordsFor(outputs_)),
        termsWithOne_(outputs_, bits::wordsFor(termCount_)),
        buckets_(outputs_ + 1, bits::wordsFor(termCount_)),
        bucketed_(termCount_),
        score_(static_cast<std::size_t>(termCount_), 0),
        oldMask_(static_cast<std::size_t>(maskOnes_.words()), 0),
        atBest_(1, bits::wordsFor(termCount_)) {
    for (const TPfnct* t : src_.terms) {
      std::string w(outputs_, '~');
      // In an fr output part '-' says nothing, like '~': reading it as '1'
      // would make a group claim an output the term never put in its on-set,
      // and such a group can meet that output's off-set on every attempt.
      for (int j = 0; j < outputs_; ++j) {
        const char c = outputAt(*t, j);
        w[j] = c == '-' && f.type == kTypeFr ? '~' : c;
      }
      work_.push_back(std::move(w));
    }
    for (int k = 0; k < termCount_; ++k) {
      const std::uint64_t* ones = src_.ones.row(k);
      std::copy(ones, ones + workOnes_.words(), workOnes_.row(k));
      uncovered_[k] = bits::countBits(ones, workOnes_.words());
      onesTotal_ += uncovered_[k];
      for (int j = 0; j < outputs_; ++j)
        if (bits::testBit(ones, j)) bits::setBit(termsWithOne_.row(j), k);
    }
    remaining_ = onesTotal_;
  }

  int onesTotal() const { return onesTotal_; }
  int remaining() const { return remaining_; }
  int termCount() const { return termCount_; }

  /// Grows one group (steps: scoring, pick, depth draw, decision); false when no term could start it.
  bool buildGroup(bool firstOnly) {
    // Only the last group's members are marked: clearing them costs the group, not the source.
    for (int k : members_) {
      inGroup_[k] = 0;
      bits::clearBit(inGroupBits_.row(0), k);
    }
    mask_.assign(outputs_, '1');
    syncMaskBits();
    members_.clear();
    long long ones = 0;
    const int depthFactor = run_.settings.depthFactor;
    const int direction = run_.settings.dfDirection;
    for (;;) {
      const int k = members_.empty() ? pickFirst() : singleOne_ >= 0 ? pickUnderSingleOne() : pickFromBuckets();
      if (k < 0) break;
      const long long m = static_cast<long long>(members_.size());
      long long gain = 0;
      if (m > 0) {
        const long long lost = bits::countCommonBits(src_.zeros.row(k), maskOnes_.row(0), maskOnes_.words());
        gain = (ones - lost) * (m + 1) - ones * m;
      }
      const int r = depthDraw(depthFactor, run_.random);
      if (m > 0 && !acceptFurther(gain, r, direction)) break;
      std::copy(maskOnes_.row(0), maskOnes_.row(0) + maskOnes_.words(), oldMask_.begin());
      ones = accept(k);
      if (firstOnly) break;
      if (members_.size() == 1) {
        singleOne_ = ones == 1 ? bits::nthBit(maskOnes_.row(0), maskOnes_.words(), 0) : -1;
        if (singleOne_ < 0) fillBuckets();
      } else if (singleOne_ < 0) {
        updateBuckets(k);
      }
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
    // Without an off-set (fd) the supercube must lie inside on-set and
    // don't-care set of every output of the mask.
    if (f_.type == kTypeFd) {
      for (int j = 0; j < outputs_; ++j)
        if (mask_[j] == '1' && !IsImplicant(f_, cube, j)) return true;
      return false;
    }
    const int words = maskOnes_.words();
    auto meets = [&](int u) {
      if (inGroup_[u] || !src_.terms[u]->input.intersects(cube)) return false;
      if (bits::anyCommonBit(src_.ones.row(u), maskZeros_.row(0), words) ||
          bits::anyCommonBit(src_.zeros.row(u), maskOnes_.row(0), words))
        return true;
      meeting_.push_back(u);
      return false;
    };
    // Without a '0' in the mask only a term holding '0' can conflict, and only such a term
    // matters to the '~' resolution: the others need not be looked at.
    if (!bits::anyBit(maskZeros_.row(0), words)) {
      for (int u : src_.withZero)
        if (meets(u)) return true;
      return false;
    }
    for (int u = 0; u < termCount_; ++u)
      if (meets(u)) return true;
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
  /// count of uncovered '1's, and the candidates are the terms with the most.
  /// Counts only fall, so the candidates are kept as a bit set from which
  /// covered '1's take terms out; the source is scanned again only when the
  /// set runs empty and the most falls.
  int pickFirst() {
    if (atBestCount_ == 0) rankFirst();
    if (atBestCount_ == 0) return -1;
    return bits::nthBit(atBest_.row(0), atBest_.words(), run_.random.randomBelow(atBestCount_));
  }

  /// Collects the terms with the most uncovered '1's.
  void rankFirst() {
    std::fill(atBest_.row(0), atBest_.row(0) + atBest_.words(), 0);
    best_ = 0;
    for (int k = 0; k < termCount_; ++k) {
      const int s = uncovered_[k];
      if (s == 0 || s < best_) continue;
      if (s > best_) {
        std::fill(atBest_.row(0), atBest_.row(0) + atBest_.words(), 0);
        atBestCount_ = 0;
        best_ = s;
      }
      bits::setBit(atBest_.row(0), k);
      ++atBestCount_;
    }
  }

  /// A later pick while the mask holds a single '1': every term outside the group with an
  /// uncovered '1' there scores 1 and nothing scores more, so the candidates are that
  /// output's terms, without scoring the rest.
  int pickUnderSingleOne() {
    const std::uint64_t* terms = termsWithOne_.row(singleOne_);
    const std::uint64_t* group = inGroupBits_.row(0);
    const int words = termsWithOne_.words();
    const int count = bits::countWords(words, [&](int w) { return terms[w] & ~group[w]; });
    if (count == 0) return -1;
    int nth = run_.random.randomBelow(count);
    for (int w = 0;; ++w) {
      const Word outside = terms[w] & ~group[w];
      const int here = bits::popcount(outside);
      if (nth < here) return w * 64 + bits::nthBit(&outside, 1, nth);
      nth -= here;
    }
  }

  // Later picks.  Within a group the workOutputs stay fixed and the mask only
  // loses '1's, so scores only fall.  The terms outside the group with a
  // positive score sit in one bit set per score value; the candidates are the
  // highest non-empty set, whose bits list them in list order.  A pick then
  // costs a scan of one set instead of a score per term, and a '1' the mask
  // loses moves only the terms that had a '1' there.

  /// Scores every term with an uncovered '1' under the mask after the first pick.
  void fillBuckets() {
    const int words = termsWithOne_.words();
    for (int v = 1; v <= maxScore_; ++v) std::fill(buckets_.row(v), buckets_.row(v) + words, 0);
    std::fill(bucketed_.data(), bucketed_.data() + bucketed_.wordCount(), Word{0});
    maxScore_ = 0;
    scratch_.assign(static_cast<std::size_t>(words), 0);
    const std::uint64_t* mask = maskOnes_.row(0);
    for (int j = 0; j < outputs_; ++j) {
      if (!bits::testBit(mask, j)) continue;
      const std::uint64_t* terms = termsWithOne_.row(j);
      for (int w = 0; w < words; ++w) scratch_[static_cast<std::size_t>(w)] |= terms[w];
    }
    bits::forEachBit(scratch_.data(), words, [&](int u) {
      if (inGroup_[u]) return;
      const int v = bits::countCommonBits(workOnes_.row(u), mask, maskOnes_.words());
      score_[u] = v;
      bits::setBit(buckets_.row(v), u);
      bucketed_.set(u);
      if (v > maxScore_) maxScore_ = v;
    });
  }

  /// Takes the new member out of its set and lowers the terms under the mask's lost '1's.
  void updateBuckets(int k) {
    if (bucketed_.test(k)) {
      bits::clearBit(buckets_.row(score_[k]), k);
      bucketed_.reset(k);
    }
    const int words = termsWithOne_.words();
    const std::uint64_t* mask = maskOnes_.row(0);
    const Word* old = oldMask_.data();
    bits::forEachWordBit(maskOnes_.words(), [&](int w) { return old[w] & ~mask[w]; }, [&](int j) {
      // the terms still in a score set that had an uncovered '1' at the lost output j
      bits::forEachCommonBit(termsWithOne_.row(j), bucketed_.data(), words, [&](int u) {
        bits::clearBit(buckets_.row(score_[u]), u);
        if (--score_[u] > 0)
          bits::setBit(buckets_.row(score_[u]), u);
        else
          bucketed_.reset(u);
      });
    });
  }

  /// A candidate of the highest non-empty score set, drawn at random; -1 when all are empty.
  int pickFromBuckets() {
    const int words = termsWithOne_.words();
    for (; maxScore_ > 0; --maxScore_) {
      const std::uint64_t* row = buckets_.row(maxScore_);
      const int count = bits::countBits(row, words);
      if (count == 0) continue;
      return bits::nthBit(row, words, run_.random.randomBelow(count));
    }
    return -1;
  }

  /// Adds term k to the group and narrows the mask; returns the number of '1's in the mask.
  long long accept(int k) {
    inGroup_[k] = 1;
    bits::setBit(inGroupBits_.row(0), k);
    members_.push_back(k);
    const bool first = members_.size() == 1;
    for (int j = 0; j < outputs_; ++j) {
      const char c = work_[k][j];
      if (c == '0') mask_[j] = '0';
      else if (c == '~' && mask_[j] == '1' && first) mask_[j] = '~';
    }
    syncMaskBits();
    return bits::countBits(maskOnes_.row(0), maskOnes_.words());
  }

  void syncMaskBits() {
    markChar(maskOnes_.row(0), maskOnes_.words(), mask_, outputs_, '1');
    markChar(maskZeros_.row(0), maskZeros_.words(), mask_, outputs_, '0');
  }

  void markCovered(int k, int j) {
    work_[k][j] = '~';
    bits::clearBit(workOnes_.row(k), j);
    bits::clearBit(termsWithOne_.row(j), k);
    if (uncovered_[k] == best_ && bits::testBit(atBest_.row(0), k)) {
      bits::clearBit(atBest_.row(0), k);
      --atBestCount_;
    }
    --uncovered_[k];
    --remaining_;
  }

  RunContext& run_;
  const TBoolFnct& f_;
  OutputMasks src_;
  int termCount_;
  int outputs_;
  std::vector<std::string> work_;  // workOutputs: covered '1's become '~'
  WordRows workOnes_;               // the '1's of work_ as bits
  std::vector<int> uncovered_;     // per term, the '1's left in work_
  int onesTotal_ = 0;
  int remaining_ = 0;
  std::vector<char> inGroup_;
  WordRows inGroupBits_;  // inGroup_ as bits, for the picks that mask a term set by it
  std::string mask_;  // groupMask
  WordRows maskOnes_, maskZeros_;
  std::vector<int> members_;     // group terms in order of acceptance
  WordRows termsWithOne_;              // per output, the terms with an uncovered '1' there
  WordRows buckets_;                   // per score value, the terms outside the group with it
  BitSet bucketed_;                   // the terms in some score set
  std::vector<int> score_;            // per term in a score set, its score
  int maxScore_ = 0;                  // no score set above this one is non-empty
  std::vector<std::uint64_t> oldMask_, scratch_;
  WordRows atBest_;                    // the first pick's candidates: the terms with best_ uncovered '1's
  int atBestCount_ = 0;
  int best_ = 0;
  int singleOne_ = -1;                // the one '1' of the group's mask, or -1 when it has more
  std::vector<int> meeting_;     // terms outside the group meeting its cube
};

}  // namespace

int DropRepeatedImplicants(TBoolFnct& g) {
  std::unordered_map<Cube, std::vector<const TPfnct*>, CubeHash> seen;
  seen.reserve(static_cast<std::size_t>(g.termCount));
  int dropped = 0;
  for (TPfnct* t = g.head.get(); t; t = t->next.get()) {
    std::vector<const TPfnct*>& same = seen[t->input];
    t->keep = 1;
    for (const TPfnct* e : same)
      if (e->output == t->output) t->keep = 0;
    if (t->keep) {
      same.push_back(t);
    } else {
      ++dropped;
    }
  }
  if (dropped) PurgeMarkedTerms(g);
  return dropped;
}

FunctionPtr FcMin(TBoolFnct& f, RunContext& context) {
  constexpr int kDropsInRow = 16;
  GroupRun run(f, context);
  FunctionPtr g = derive(f);
  g->type = kTypeFd;
  context.progress.begin("Minimizing PLA using FC-Min", run.onesTotal(), 1);
  int droppedInRow = 0;
  bool stopped = false;
  // Each attempt scans the source terms; the clock is read every few attempts.
  DeadlineProbe outOfTime(context.deadline, 4);
  while (run.remaining() != 0 && !outOfTime.expired()) {
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
    if (context.progress.step(run.onesTotal() - run.remaining(), 0) == 2) {
      stopped = true;
      break;
    }
  }
  context.progress.end();
  if (run.remaining() != 0 && stopped) return nullptr;
  ExpandTerms(*g, context);
  return g;
}

FunctionPtr FcMinStep(TBoolFnct& f, FunctionPtr accumulated, RunContext& run) {
  run.printStep("FCmin step started .. \n\n");
  FunctionPtr g = FcMin(f, run);
  // Groups the deadline cut short, or that ended past it, would only delay the end of a run that
  // already has a set.
  if (accumulated && run.deadline.expired()) return accumulated;
  if (!g) {
    // Stopped by the progress hook: nothing new to merge.
    if (accumulated) return accumulated;
    FunctionPtr empty = derive(f);
    empty->type = kTypeFd;
    return empty;
  }
  DropRepeatedImplicants(*g);
  DetermineCover(*g, run);
  if (!accumulated) return g;
  RemoveDominatedTerms(*accumulated, *g, run.progress, run.deadline);
  RemoveDominatedTerms(*g, *accumulated, run.progress, run.deadline);
  absorb(*accumulated, std::move(g));
  return accumulated;
}

}  // namespace vorn
