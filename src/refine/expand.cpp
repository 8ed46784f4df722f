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
#include <numeric>

#include "unate/cofactor.h"

namespace vorn {

namespace {

inline int popcount(const std::uint64_t* a, int k) {
  int n = 0;
  for (int w = 0; w < k; ++w) n += __builtin_popcountll(a[w]);
  return n;
}
inline bool isSubset(const std::uint64_t* a, const std::uint64_t* b, int k) {
  for (int w = 0; w < k; ++w)
    if (a[w] & ~b[w]) return false;
  return true;
}
inline bool meetsAny(const std::uint64_t* a, const std::uint64_t* b, int k) {
  for (int w = 0; w < k; ++w)
    if (a[w] & b[w]) return true;
  return false;
}

class Expander {
 public:
  Expander(const RefineSource& s, const ImplicantTest& t, Cover& c, const ExpandParams& p, ExpandStats& st)
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
      literals[static_cast<std::size_t>(k)] = popcount(cover_.in.cube(k), 2 * words_);
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
  std::uint64_t* row(int r) { return rows_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(k_); }
  std::uint64_t* need(int d) { return needs_.data() + static_cast<std::size_t>(d) * static_cast<std::size_t>(k_); }

  /// Compresses the input-position mask m (words_ words) to the literal index bits of the cube.
  void compress(const std::uint64_t* m, std::uint64_t* out) {
    if (direct_) {
      std::copy(m, m + k_, out);
      return;
    }
    std::fill(out, out + k_, 0);
    for (int w = 0; w < words_; ++w)
      for (std::uint64_t b = m[w]; b; b &= b - 1) {
        const int i = index_[static_cast<std::size_t>(w * 64 + __builtin_ctzll(b))];
        out[i >> 6] |= std::uint64_t{1} << (i & 63);
      }
  }

  /// Leaves one row of each value in raw (rows of k_ words, back to back), in some order.
  void dedupe(std::vector<std::uint64_t>& raw) const {
    if (k_ == 1) {
      std::sort(raw.begin(), raw.end());
      raw.erase(std::unique(raw.begin(), raw.end()), raw.end());
      return;
    }
    const std::size_t k = static_cast<std::size_t>(k_);
    std::vector<std::size_t> at(raw.size() / k);
    std::iota(at.begin(), at.end(), std::size_t{0});
    auto less = [&](std::size_t a, std::size_t b) {
      return std::lexicographical_compare(raw.begin() + a * k, raw.begin() + (a + 1) * k, raw.begin() + b * k,
                                          raw.begin() + (b + 1) * k);
    };
    std::sort(at.begin(), at.end(), less);
    std::vector<std::uint64_t> kept;
    kept.reserve(raw.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
      if (i > 0 && !less(at[i - 1], at[i])) continue;
      kept.insert(kept.end(), raw.begin() + at[i] * k, raw.begin() + (at[i] + 1) * k);
    }
    raw.swap(kept);
  }

  /// Blocking rows of the cube against the off-set of its outputs; false when the cube meets one.
  bool buildRows(int k, const std::uint64_t* c) {
    ++epoch_;
    std::vector<std::uint64_t>& raw = raw_;
    raw.clear();
    std::vector<std::uint64_t> conflict(static_cast<std::size_t>(words_));
    const CubeSet& off = *ExplicitOffSet(source_, test_);
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    bool ok = true;
    auto visit = [&](int r) {
      {
        if (!ok || offStamp_[static_cast<std::size_t>(r)] == epoch_) return;
        offStamp_[static_cast<std::size_t>(r)] = epoch_;
        const std::uint64_t* o = off.cubes.cube(r);
        bool any = false;
        for (int w = 0; w < words_; ++w) {
          conflict[w] = (c[w] & o[words_ + w]) | (c[words_ + w] & o[w]);
          any |= conflict[w] != 0;
        }
        if (!any) {
          ok = false;
          return;
        }
        const std::size_t at = raw.size();
        raw.resize(at + static_cast<std::size_t>(k_));
        compress(conflict.data(), raw.data() + at);
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
    dedupe(raw);
    // Keep only the rows that contain no other row, smallest first (rows sorted by size in buckets).
    const int count = static_cast<int>(raw.size() / static_cast<std::size_t>(k_));
    std::vector<int> start(static_cast<std::size_t>(nl_) + 2, 0), size(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
      size[static_cast<std::size_t>(r)] = popcount(raw.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(k_), k_);
      ++start[static_cast<std::size_t>(size[static_cast<std::size_t>(r)]) + 1];
    }
    for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) order[static_cast<std::size_t>(start[static_cast<std::size_t>(size[static_cast<std::size_t>(r)])]++)] = r;
    rows_.clear();
    rowCount_ = 0;
    for (int r : order) {
      const std::uint64_t* x = raw.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(k_);
      bool dominated = false;
      if (k_ == 1) {
        // One word per row (up to 64 literals, the common case): a plain loop the compiler unrolls.
        const std::uint64_t v = *x;
        for (int q = 0; q < rowCount_ && !dominated; ++q) dominated = (rows_[static_cast<std::size_t>(q)] & ~v) == 0;
      } else {
        for (int q = 0; q < rowCount_ && !dominated; ++q) dominated = isSubset(row(q), x, k_);
      }
      if (dominated) continue;
      rows_.insert(rows_.end(), x, x + k_);
      ++rowCount_;
    }
    stats_.rows += rowCount_;
    return true;
  }

  /// The other live terms that share an output with term k, with the literals the cube must drop to hold each.
  void buildCandidates(int k, const std::uint64_t* c) {
    cands_.clear();
    weight_.clear();
    needs_.clear();
    std::vector<std::uint64_t> diff(static_cast<std::size_t>(words_));
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    forEachSharing(k, [&](int d) {
      const OutputSet& theirs = cover_.out[static_cast<std::size_t>(d)];
      const std::uint64_t* e = cover_.in.cube(d);
      bool any = false;
      for (int w = 0; w < words_; ++w) {
        diff[w] = (c[w] & ~e[w]) | (c[words_ + w] & ~e[words_ + w]);
        any |= diff[w] != 0;
      }
      if (!any) return;  // already inside the cube
      const std::size_t at = needs_.size();
      needs_.resize(at + static_cast<std::size_t>(k_));
      compress(diff.data(), needs_.data() + at);
      cands_.push_back(d);
      weight_.push_back(theirs.subsetOf(mine) ? 2 : 1);
    });
    feasible_.assign(cands_.size(), 1);
  }

  /// Keeps the last open literal of every row that has no kept literal; true when any was kept.
  bool keepEssentials() {
    bool changed = false;
    for (int r = 0; r < rowCount_; ++r) {
      const std::uint64_t* x = row(r);
      if (meetsAny(x, fixed_.data(), k_)) continue;
      int open = 0, last = -1;
      for (int w = 0; w < k_ && open < 2; ++w) {
        const std::uint64_t b = x[w] & open_[w];
        open += __builtin_popcountll(b);
        if (b) last = w * 64 + __builtin_ctzll(b);
      }
      if (open == 1) {
        fixed_[last >> 6] |= std::uint64_t{1} << (last & 63);
        open_[last >> 6] &= ~(std::uint64_t{1} << (last & 63));
        changed = true;
      }
    }
    return changed;
  }

  /// Drops from the feasible terms those that dropping their literals would now leave a row without any.
  void updateFeasible() {
    // The open literals of the rows no kept literal hits yet, gathered once for all candidates.
    openRows_.clear();
    for (int r = 0; r < rowCount_; ++r) {
      const std::uint64_t* x = row(r);
      if (meetsAny(x, fixed_.data(), k_)) continue;
      for (int w = 0; w < k_; ++w) openRows_.push_back(x[w] & open_[w]);
    }
    const std::size_t k = static_cast<std::size_t>(k_), count = openRows_.size() / k;
    for (std::size_t d = 0; d < cands_.size(); ++d) {
      if (!feasible_[d]) continue;
      const std::uint64_t* n = need(static_cast<int>(d));
      if (meetsAny(n, fixed_.data(), k_)) {
        feasible_[d] = 0;
        continue;
      }
      bool ok = true;
      if (k == 1) {
        const std::uint64_t keep = ~*n;
        for (std::size_t r = 0; r < count && ok; ++r) ok = (openRows_[r] & keep) != 0;
      } else {
        for (std::size_t r = 0; r < count && ok; ++r) {
          const std::uint64_t* x = openRows_.data() + r * k;
          bool left = false;
          for (std::size_t w = 0; w < k && !left; ++w) left = (x[w] & ~n[w]) != 0;
          ok = left;
        }
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
      const std::uint64_t* n = need(static_cast<int>(d));
      for (int w = 0; w < k_; ++w)
        for (std::uint64_t b = n[w] & open_[w]; b; b &= b - 1) {
          counts_[static_cast<std::size_t>(w * 64 + __builtin_ctzll(b))] += weight_[d];
          any = true;
        }
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
        const std::uint64_t* x = row(r);
        if (meetsAny(x, fixed_.data(), k_)) continue;
        for (int w = 0; w < k_; ++w)
          for (std::uint64_t b = x[w] & open_[w]; b; b &= b - 1) {
            ++counts_[static_cast<std::size_t>(w * 64 + __builtin_ctzll(b))];
            any = true;
          }
      }
      if (!any) return;
      const int i = static_cast<int>(std::max_element(counts_.begin(), counts_.end()) - counts_.begin());
      fixed_[i >> 6] |= std::uint64_t{1} << (i & 63);
      open_[i >> 6] &= ~(std::uint64_t{1} << (i & 63));
    }
  }

  /// Gives back every kept literal that no row needs, so that the cube is prime.
  void makePrime() {
    for (int i : lits_) {
      const std::uint64_t bit = std::uint64_t{1} << (i & 63);
      if (!(fixed_[i >> 6] & bit)) continue;
      fixed_[i >> 6] &= ~bit;
      bool needed = false;
      for (int r = 0; r < rowCount_ && !needed; ++r) needed = !meetsAny(row(r), fixed_.data(), k_);
      if (needed) fixed_[i >> 6] |= bit;
    }
  }

  void expandOne(int k) {
    if (params_.raiseOutputs && params_.outputsFirst) raiseOutputs(k);
    std::vector<std::uint64_t> c(cover_.in.cube(k), cover_.in.cube(k) + 2 * words_);
    positions_.clear();
    for (int w = 0; w < words_; ++w)
      for (std::uint64_t b = c[w] | c[words_ + w]; b; b &= b - 1) positions_.push_back(w * 64 + __builtin_ctzll(b));
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
        for (int t = 0; t < nl_; ++t) {
          const int i = lits_[static_cast<std::size_t>(t)];
          const std::uint64_t bit = std::uint64_t{1} << (i & 63);
          if (fixed_[i >> 6] & bit) continue;
          const int p = positions_[static_cast<std::size_t>(t)];
          c[p >> 6] &= ~(std::uint64_t{1} << (p & 63));
          c[words_ + (p >> 6)] &= ~(std::uint64_t{1} << (p & 63));
        }
      }
      for (int p : positions_) index_[static_cast<std::size_t>(p)] = -1;
      if (!valid) return;  // not an implicant: leave it as it is
    } else if (nl_ > 0) {
      dropLiteralsByTest(k, c);
    }
    if (popcount(c.data(), 2 * words_) < nl_) ++stats_.expanded;
    std::copy(c.begin(), c.end(), cover_.in.cube(k));
    if (params_.raiseOutputs) raiseOutputs(k);
    absorbHeld(k);
  }

  void dropLiterals(int k, const std::uint64_t* c) {
    fixed_.assign(static_cast<std::size_t>(k_), 0);
    open_.assign(static_cast<std::size_t>(k_), 0);
    for (int i : lits_) open_[i >> 6] |= std::uint64_t{1} << (i & 63);
    counts_.assign(static_cast<std::size_t>(k_) * 64, 0);
    buildCandidates(k, c);
    for (;;) {
      while (keepEssentials()) {
      }
      updateFeasible();
      const int i = bestDrop();
      if (i < 0) break;
      open_[i >> 6] &= ~(std::uint64_t{1} << (i & 63));
    }
    coverRows();
    std::fill(open_.begin(), open_.end(), 0);
    makePrime();
  }

  /// Without an explicit off-set: drop literals one at a time while the test allows every output.
  void dropLiteralsByTest(int k, std::vector<std::uint64_t>& c) {
    const OutputSet& outs = cover_.out[static_cast<std::size_t>(k)];
    for (int p : positions_) {
      std::vector<std::uint64_t> wider = c;
      wider[p >> 6] &= ~(std::uint64_t{1} << (p & 63));
      wider[words_ + (p >> 6)] &= ~(std::uint64_t{1} << (p & 63));
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
    const std::uint64_t* c = cover_.in.cube(k);
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    forEachSharing(k, [&](int d) {
      if (!packedContains(c, cover_.in.cube(d), words_)) return;
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
  std::vector<std::uint64_t> rows_, needs_, fixed_, open_, raw_, openRows_;
  std::vector<int> cands_, weight_, counts_;
  std::vector<char> feasible_;
};

}  // namespace

void Expand(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
            ExpandStats& stats) {
  if (ExpandByColumns(source, test, cover, params, stats)) return;
  Expander e(source, test, cover, params, stats);
  e.run();
}

}  // namespace vorn
