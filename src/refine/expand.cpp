// EXPAND.
//
// A cube stays an implicant of its outputs while it meets no off-set cube of
// them.  For every off-set cube r the positions where the cube and r hold
// opposite literals form a blocking row: the expanded cube must keep at
// least one literal of every row.  Which literals to keep is a covering
// problem; it is steered towards the other terms of the cover:
// - a term d is feasible when dropping every literal the cube needs to drop
//   to hold d still leaves a literal in every row;
// - a literal that is the last open one of a row must be kept;
// - while feasible terms remain, drop the literal most of them need dropped
//   (terms carrying only outputs the cube carries count twice);
// - then keep, greedily, the literals that hit the most rows still open,
//   drop all others, and give back any kept literal that every row it hits
//   can spare, so that the result is prime.
// Rows are held over the cube's own literals only, one bit each, and rows
// that contain another row are dropped first, so that the work per cube
// grows with the off-set it faces and the terms that share its outputs.
// Afterwards the cube takes every further output it may carry and whose
// on-set it meets, and terms it now holds lose the outputs it carries.
#include "refine/expand.h"

#include "refine/column_expand.h"

#include <algorithm>

#include "model/bits.h"
#include "model/counting_order.h"
#include "model/packed_cube.h"

namespace vorn {

namespace {

class RowExpander {
 public:
  RowExpander(const RefineSource& s, const ImplicantTest& t, Cover& c, const ExpandParams& p, ExpandStats& st)
      : source_(s), test_(t), cover_(c), params_(p), stats_(st), words_(c.in.words()) {
    index_.assign(static_cast<std::size_t>(s.inputs), -1);
    offStamp_.assign(static_cast<std::size_t>(s.off.cubes.size()), 0);
    termStamp_.assign(static_cast<std::size_t>(c.size()), 0);
    terms_.assign(static_cast<std::size_t>(s.outputs), {});
    for (int k = 0; k < c.size(); ++k)
      if (c.alive[static_cast<std::size_t>(k)])
        c.out[static_cast<std::size_t>(k)].forEach([&](int j) { terms_[static_cast<std::size_t>(j)].push_back(k); });
  }

  void run() {
    std::vector<int> order;
    std::vector<int> literals(static_cast<std::size_t>(cover_.size()));
    for (int k = 0; k < cover_.size(); ++k) {
      if (!cover_.alive[static_cast<std::size_t>(k)]) continue;
      order.push_back(k);
      literals[static_cast<std::size_t>(k)] = cover_.literals(k);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)]; });
    const Deadline none;
    DeadlineProbe outOfTime(params_.deadline ? *params_.deadline : none, 4);
    for (int k : order) {
      if (outOfTime.expired()) break;
      if (cover_.alive[static_cast<std::size_t>(k)]) expandOne(k);
    }
  }

 private:
  const Word* row(int r) const { return rows_.row(r); }
  const Word* need(int d) const { return needs_.row(d); }

  /// Compresses the input-position mask m (words_ words) to the literal index bits of the cube.
  void compress(const Word* m, Word* out) {
    if (direct_) {
      std::copy(m, m + k_, out);
      return;
    }
    std::fill(out, out + k_, 0);
    bits::forEachBit(m, words_, [&](int p) { bits::setBit(out, index_[static_cast<std::size_t>(p)]); });
  }

  /// Blocking rows of the cube against the off-set of its outputs; false when the cube meets one.
  bool buildRows(int k, const std::uint64_t* c) {
    ++epoch_;
    WordRows& raw = raw_;
    raw.reshape(k_);
    std::vector<Word> conflict(static_cast<std::size_t>(words_));
    const CubeSet& off = *ExplicitOffSet(source_, test_);
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    bool ok = true;
    auto visit = [&](int r) {
      {
        if (!ok || offStamp_[static_cast<std::size_t>(r)] == epoch_) return;
        offStamp_[static_cast<std::size_t>(r)] = epoch_;
        const Word* o = off.cubes.cube(r);
        bits::assignWords(conflict.data(), words_, [&](int w) { return conflictsIn(c, o, words_, w); });
        if (!bits::anyBit(conflict.data(), words_)) {
          ok = false;
          return;
        }
        compress(conflict.data(), raw.grow());
      }
    };
    // Walk the off-set lists of the cube's outputs, or the whole off-set once when that is shorter.
    std::size_t listed = 0;
    mine.forEach([&](int j) { listed += off.of[static_cast<std::size_t>(j)].size(); });
    if (listed > static_cast<std::size_t>(off.cubes.size())) {
      for (int r = 0; r < off.cubes.size(); ++r)
        if (off.outputs[static_cast<std::size_t>(r)].meets(mine)) visit(r);
    } else {
      mine.forEach([&](int j) {
        for (int r : off.of[static_cast<std::size_t>(j)]) visit(r);
      });
    }
    if (!ok) return false;
    // Equal rows are frequent (off-set cubes that differ only where the cube has no literal); one of
    // each is enough, and the containment filter below then compares far fewer pairs.
    raw.sortUnique();
    // Keep only the rows that contain no other row, smallest first (rows sorted by size in buckets).
    const int count = raw.rows();
    std::vector<int> size(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) size[static_cast<std::size_t>(r)] = bits::countBits(raw.row(r), k_);
    const std::vector<int> order =
        CountingOrder(count, nl_ + 1, [&](int r) { return size[static_cast<std::size_t>(r)]; });
    rows_.reshape(k_);
    rowCount_ = 0;
    for (int r : order) {
      const Word* x = raw.row(r);
      bool dominated = false;
      if (k_ == 1) {
        // One word per row (up to 64 literals, the common case): a plain loop the compiler unrolls.
        const Word v = *x;
        const Word* kept = rows_.row(0);
        for (int q = 0; q < rowCount_ && !dominated; ++q) dominated = (kept[q] & ~v) == 0;
      } else {
        for (int q = 0; q < rowCount_ && !dominated; ++q) dominated = bits::isSubset(row(q), x, k_);
      }
      if (dominated) continue;
      rows_.push(x);
      ++rowCount_;
    }
    stats_.rows += rowCount_;
    return true;
  }

  /// The other live terms that share an output with term k, with the literals the cube must drop to hold each.
  void buildCandidates(int k, const std::uint64_t* c) {
    cands_.clear();
    weight_.clear();
    needs_.reshape(k_);
    std::vector<Word> diff(static_cast<std::size_t>(words_));
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    forEachSharing(k, [&](int d) {
      const OutputSet& theirs = cover_.out[static_cast<std::size_t>(d)];
      const Word* e = cover_.in.cube(d);
      bits::assignWords(diff.data(), words_, [&](int w) { return literalsNotIn(c, e, words_, w); });
      if (!bits::anyBit(diff.data(), words_)) return;  // already inside the cube
      compress(diff.data(), needs_.grow());
      cands_.push_back(d);
      weight_.push_back(theirs.subsetOf(mine) ? 2 : 1);
    });
    feasible_.assign(cands_.size(), 1);
  }

  /// Keeps the last open literal of every row that has no kept literal; true when any was kept.
  bool keepEssentials() {
    bool changed = false;
    for (int r = 0; r < rowCount_; ++r) {
      const Word* x = row(r);
      if (bits::anyCommonBit(x, fixed_.data(), k_)) continue;
      const int last = bits::soleCommonBit(x, open_.data(), k_);
      if (last >= 0) {
        bits::setBit(fixed_.data(), last);
        bits::clearBit(open_.data(), last);
        changed = true;
      }
    }
    return changed;
  }

  /// Drops from the feasible terms those that dropping their literals would now leave a row without any.
  void updateFeasible() {
    // The open literals of the rows no kept literal hits yet, gathered once for all candidates.
    openRows_.reshape(k_);
    for (int r = 0; r < rowCount_; ++r) {
      const Word* x = row(r);
      if (bits::anyCommonBit(x, fixed_.data(), k_)) continue;
      openRows_.pushWords([&](int w) { return x[w] & open_[w]; });
    }
    const int count = openRows_.rows();
    for (std::size_t d = 0; d < cands_.size(); ++d) {
      if (!feasible_[d]) continue;
      const Word* n = need(static_cast<int>(d));
      if (bits::anyCommonBit(n, fixed_.data(), k_)) {
        feasible_[d] = 0;
        continue;
      }
      // every open row keeps a literal that d does not need dropped
      bool ok = true;
      if (k_ == 1) {
        const Word keep = ~*n;
        const Word* open = openRows_.row(0);
        for (int r = 0; r < count && ok; ++r) ok = (open[r] & keep) != 0;
      } else {
        for (int r = 0; r < count && ok; ++r) ok = !bits::isSubset(openRows_.row(r), n, k_);
      }
      if (!ok) feasible_[d] = 0;
    }
  }

  /// The open literal that the most feasible terms still need dropped; -1 when none.
  int bestDrop() {
    std::fill(counts_.begin(), counts_.end(), 0);
    bool any = false;
    for (std::size_t d = 0; d < cands_.size(); ++d) {
      if (!feasible_[d]) continue;
      bits::forEachCommonBit(need(static_cast<int>(d)), open_.data(), k_, [&](int i) {
        counts_[static_cast<std::size_t>(i)] += weight_[d];
        any = true;
      });
    }
    if (!any) return -1;
    return static_cast<int>(std::max_element(counts_.begin(), counts_.end()) - counts_.begin());
  }

  /// Keeps literals greedily until every row holds a kept one.
  void coverRows() {
    for (;;) {
      std::fill(counts_.begin(), counts_.end(), 0);
      bool any = false;
      for (int r = 0; r < rowCount_; ++r) {
        const Word* x = row(r);
        if (bits::anyCommonBit(x, fixed_.data(), k_)) continue;
        bits::forEachCommonBit(x, open_.data(), k_, [&](int i) {
          ++counts_[static_cast<std::size_t>(i)];
          any = true;
        });
      }
      if (!any) return;
      const int i = static_cast<int>(std::max_element(counts_.begin(), counts_.end()) - counts_.begin());
      bits::setBit(fixed_.data(), i);
      bits::clearBit(open_.data(), i);
    }
  }

  /// Gives back every kept literal that no row needs, so that the cube is prime.
  void makePrime() {
    for (int i : lits_) {
      if (!bits::testBit(fixed_.data(), i)) continue;
      bits::clearBit(fixed_.data(), i);
      bool needed = false;
      for (int r = 0; r < rowCount_ && !needed; ++r) needed = !bits::anyCommonBit(row(r), fixed_.data(), k_);
      if (needed) bits::setBit(fixed_.data(), i);
    }
  }

  void expandOne(int k) {
    if (params_.raiseOutputs && params_.outputsFirst) raiseOutputs(k);
    std::vector<Word> c(cover_.in.cube(k), cover_.in.cube(k) + 2 * words_);
    positions_.clear();
    forEachLiteral(c.data(), words_, [&](int p) { positions_.push_back(p); });
    nl_ = static_cast<int>(positions_.size());
    if (nl_ > 0 && ExplicitOffSet(source_, test_)) {
      // Literal bits are the input positions themselves when packing them closer saves no word.
      k_ = (nl_ + 63) / 64;
      direct_ = k_ == words_;
      lits_.clear();
      for (int i = 0; i < nl_; ++i) {
        const int p = positions_[static_cast<std::size_t>(i)];
        index_[static_cast<std::size_t>(p)] = direct_ ? p : i;
        lits_.push_back(direct_ ? p : i);
      }
      const bool valid = buildRows(k, c.data());
      if (valid) {
        dropLiterals(k, c.data());
        for (int t = 0; t < nl_; ++t)
          if (!bits::testBit(fixed_.data(), lits_[static_cast<std::size_t>(t)]))
            freePosition(c.data(), words_, positions_[static_cast<std::size_t>(t)]);
      }
      for (int p : positions_) index_[static_cast<std::size_t>(p)] = -1;
      if (!valid) return;  // not an implicant: leave it as it is
    } else if (nl_ > 0) {
      dropLiteralsByTest(k, c);
    }
    if (bits::countBits(c.data(), 2 * words_) < nl_) ++stats_.expanded;
    std::copy(c.begin(), c.end(), cover_.in.cube(k));
    if (params_.raiseOutputs) raiseOutputs(k);
    absorbHeld(k);
  }

  void dropLiterals(int k, const std::uint64_t* c) {
    fixed_.assign(static_cast<std::size_t>(k_), 0);
    open_.assign(static_cast<std::size_t>(k_), 0);
    for (int i : lits_) bits::setBit(open_.data(), i);
    counts_.assign(static_cast<std::size_t>(k_) * 64, 0);
    buildCandidates(k, c);
    for (;;) {
      while (keepEssentials()) {
      }
      updateFeasible();
      const int i = bestDrop();
      if (i < 0) break;
      bits::clearBit(open_.data(), i);
    }
    coverRows();
    std::fill(open_.begin(), open_.end(), 0);
    makePrime();
  }

  /// Without an explicit off-set: drop literals one at a time while the test allows every output.
  void dropLiteralsByTest(int k, std::vector<Word>& c) {
    const OutputSet& outs = cover_.out[static_cast<std::size_t>(k)];
    for (int p : positions_) {
      std::vector<Word> wider = c;
      freePosition(wider.data(), words_, p);
      bool ok = true;
      outs.forEach([&](int j) { ok = ok && test_.allowed(wider.data(), j); });
      if (ok) c = wider;
    }
  }

  /// Connects every output the cube may carry and whose on-set it meets.
  void raiseOutputs(int k) {
    OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    const OutputSet gain = OutputsToRaise(source_, test_, cover_.in.cube(k), mine);
    gain.forEach([&](int j) { terms_[static_cast<std::size_t>(j)].push_back(k); });
    mine.unite(gain);
  }

  /// Calls fn(d) once for every other live term d that shares an output with term k: through the
  /// output lists, or by one walk over the cover when the lists of k's outputs are longer together.
  template <typename Fn>
  void forEachSharing(int k, Fn&& fn) {
    ++epoch_;
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    std::size_t listed = 0;
    mine.forEach([&](int j) { listed += terms_[static_cast<std::size_t>(j)].size(); });
    if (listed > static_cast<std::size_t>(cover_.size())) {
      for (int d = 0; d < cover_.size(); ++d)
        if (d != k && cover_.alive[static_cast<std::size_t>(d)] && cover_.out[static_cast<std::size_t>(d)].meets(mine)) fn(d);
      return;
    }
    mine.forEach([&](int j) {
      for (int d : terms_[static_cast<std::size_t>(j)]) {
        if (d == k || termStamp_[static_cast<std::size_t>(d)] == epoch_ || !cover_.alive[static_cast<std::size_t>(d)]) continue;
        termStamp_[static_cast<std::size_t>(d)] = epoch_;
        if (cover_.out[static_cast<std::size_t>(d)].meets(mine)) fn(d);
      }
    });
  }

  /// Terms inside the cube lose the outputs it carries; those left with none go.
  void absorbHeld(int k) {
    const Word* c = cover_.in.cube(k);
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    forEachSharing(k, [&](int d) {
      if (!cubeContains(c, cover_.in.cube(d), words_)) return;
      OutputSet& theirs = cover_.out[static_cast<std::size_t>(d)];
      theirs.remove(mine);
      if (!theirs.any()) {
        cover_.alive[static_cast<std::size_t>(d)] = 0;
        ++stats_.removed;
      }
    });
  }

  const RefineSource& source_;
  const ImplicantTest& test_;
  Cover& cover_;
  const ExpandParams& params_;
  ExpandStats& stats_;
  int words_;
  int k_ = 1, nl_ = 0, rowCount_ = 0;
  bool direct_ = false;  ///< literal bit i is input position i (else the i-th literal of the cube)
  std::vector<int> lits_;  ///< the literal bits of the cube, in position order
  unsigned epoch_ = 0;
  std::vector<int> index_, positions_;
  std::vector<unsigned> offStamp_, termStamp_;
  std::vector<std::vector<int>> terms_;
  WordRows rows_, needs_, raw_, openRows_;  ///< rows of k_ words: blocking rows, literals each candidate needs dropped
  std::vector<Word> fixed_, open_;          ///< the literals kept, and those still undecided
  std::vector<int> cands_, weight_, counts_;
  std::vector<char> feasible_;
};

}  // namespace

void Expand(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
            ExpandStats& stats) {
  if (ExpandByColumns(source, test, cover, params, stats)) return;
  RowExpander e(source, test, cover, params, stats);
  e.run();
}

}  // namespace vorn
