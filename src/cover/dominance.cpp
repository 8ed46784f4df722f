// Dominance passes.
//
// Cross-dominance (target against other) and self-dominance (a function
// against itself) both ask "does u cover every entry of t?".  Both answer it
// on the terms' sorted cover keys, which a term builds once and keeps until
// its cover list is rebuilt, so the work of a pass grows with the pairs it
// actually compares and not with the size of the covers it merely passes by:
// the CD step runs the cross pass against the whole accumulated set once per
// output, and terms serving many outputs carry covers as long as the output
// count, so anything painted or hashed per term and pass would make one step
// quadratic in the outputs.
//
// Cheap necessary conditions settle most pairs before any key is looked up:
// u must be at least as large a cube (cross pass) and have at least as many
// entries as t (each entry of u finds at most one of t's entries); a 64-bit
// signature per term (bit key mod 64 of each entry, kept with the keys) must
// hold t's bits; and t's smallest, middle and largest keys must be among u's.
// All of these rely on a cover list naming each entry once, which
// DetermineCover guarantees.
#include "cover/dominance.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/term_removal.h"

namespace vorn {

namespace {

/// Terms a pass looks at between two looks at the clock: each compares itself with a whole set.
constexpr int kTermsPerCheck = 8;

int maxOnCountOf(const TBoolFnct& f) { return f.source ? f.source->maxOnCount : 0; }

void sortRange(int* v, int lo, int hi) {
  // Recurse into the smaller side and loop on the larger: the stack stays
  // logarithmic whatever the input.
  while (hi - lo >= 1) {
    const int pivot = v[lo + (hi - lo) / 2];
    int lower = lo, upper = hi;
    while (lower <= upper) {
      while (v[lower] < pivot) ++lower;
      while (v[upper] > pivot) --upper;
      if (lower <= upper) {
        std::swap(v[lower], v[upper]);
        ++lower;
        --upper;
      }
    }
    if (upper - lo < hi - lower) {
      sortRange(v, lo, upper);
      lo = lower;
    } else {
      sortRange(v, lower, hi);
      hi = upper;
    }
  }
}

using Signature = std::uint64_t;

Signature signatureOf(const std::vector<int>& keys) {
  Signature s = 0;
  for (int k : keys) s |= Signature{1} << (static_cast<unsigned>(k) & 63u);
  return s;
}

/// Are all of the ascending keys `small` among the ascending keys `large`?
/// Each lookup searches only the part of `large` after the previous hit.
bool includedIn(const std::vector<int>& small, const std::vector<int>& large) {
  if (small.size() > large.size()) return false;
  auto from = large.begin();
  for (int k : small) {
    from = std::lower_bound(from, large.end(), k);
    if (from == large.end() || *from != k) return false;
    ++from;
  }
  return true;
}

/// Are the smallest, middle and largest of t's sorted keys among u's sorted
/// keys?  A necessary condition for u to cover t, decided in three binary
/// searches before the full walk.
bool holdsProbes(const std::vector<int>& uKeys, const std::vector<int>& tKeys) {
  if (tKeys.empty()) return true;
  const int n = static_cast<int>(uKeys.size());
  const std::size_t probes[3] = {0, tKeys.size() / 2, tKeys.size() - 1};
  for (std::size_t i : probes)
    if (!ContainsInt(uKeys.data(), n, tKeys[i])) return false;
  return true;
}

/// What the cross pass's filters read of a term of `other`, in one flat array.
struct Candidate {
  int freeCount;
  int entries;
  Signature signature;
  const std::vector<int>* keys;
};

/// The candidates by cover key: per key, the candidates whose cover holds it, in candidate order.  A
/// candidate that covers every entry of t holds t's rarest key, so only that key's candidates need a
/// look, not the whole set: on sets of thousands of terms each covering a few of the on-set's entries
/// the scan of every candidate per term was the pass's whole cost.
class CandidatesByKey {
 public:
  /// \brief Indexes the candidates; false (and no index) when their keys spread over a range far wider
  /// than their number, where the plain scan is as good.
  bool build(const std::vector<Candidate>& candidates) {
    long long entries = 0;
    int top = -1;
    for (const Candidate& c : candidates) {
      entries += c.entries;
      if (!c.keys->empty()) top = std::max(top, c.keys->back());
    }
    if (top < 0 || top >= 4 * entries + 1024) return false;
    start_.assign(static_cast<std::size_t>(top) + 2, 0);
    for (const Candidate& c : candidates)
      for (int k : *c.keys) ++start_[static_cast<std::size_t>(k) + 1];
    for (std::size_t k = 1; k < start_.size(); ++k) start_[k] += start_[k - 1];
    holders_.resize(static_cast<std::size_t>(entries));
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < candidates.size(); ++i)
      for (int k : *candidates[i].keys) holders_[static_cast<std::size_t>(fill[static_cast<std::size_t>(k)]++)] = static_cast<int>(i);
    return true;
  }
  /// \brief The candidates holding `key`, as [first, last) into holders().
  std::pair<int, int> of(int key) const {
    if (key < 0 || static_cast<std::size_t>(key) + 1 >= start_.size()) return {0, 0};
    return {start_[static_cast<std::size_t>(key)], start_[static_cast<std::size_t>(key) + 1]};
  }
  const std::vector<int>& holders() const { return holders_; }

 private:
  std::vector<int> start_;    ///< per key, where its candidates begin in holders_ (one more entry at the end)
  std::vector<int> holders_;  ///< candidate indices, key by key
};

/// \brief Does a candidate cover every entry of t (with at least as many free inputs)?
bool dominates(const Candidate& c, const TPfnct& t, const std::vector<int>& keys) {
  if (c.freeCount < t.freeCount || c.entries < static_cast<int>(keys.size()) || (t.coverSignature & ~c.signature))
    return false;
  return holdsProbes(*c.keys, keys) && includedIn(keys, *c.keys);
}

}  // namespace

void SortInts(int* values, int count) {
  if (values && count >= 2) sortRange(values, 0, count - 1);
}

int ContainsInt(const int* values, int count, int key) {
  int lo = 0, hi = count - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    if (values[mid] == key) return 1;
    if (key > values[mid])
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return 0;
}

void BuildCoverKeys(const TBoolFnct& f, TPfnct& term) {
  if (term.coverKeys) return;
  const int m = maxOnCountOf(f);
  std::vector<int> keys;
  keys.reserve(term.covers.size());
  for (const CoverEntry& e : term.covers) keys.push_back(CoverKey(e, m));
  SortInts(keys.data(), static_cast<int>(keys.size()));
  term.coverSignature = signatureOf(keys);
  term.coverKeys = std::move(keys);
}

void RemoveDominatedTerms(TBoolFnct& target, TBoolFnct& other, const ProgressHooks& progress,
                          const Deadline& deadline) {
  progress.begin("Cheching for dominance", target.termCount, 1);
  std::vector<Candidate> candidates;
  if (target.head) {
    candidates.reserve(static_cast<std::size_t>(other.termCount));
    for (TPfnct* u = other.head.get(); u; u = u->next.get()) {
      BuildCoverKeys(other, *u);
      candidates.push_back({u->freeCount, static_cast<int>(u->coverKeys->size()), u->coverSignature, &*u->coverKeys});
    }
  }
  CandidatesByKey byKey;
  const bool indexed = byKey.build(candidates);
  DeadlineProbe outOfTime(deadline, kTermsPerCheck);
  bool cut = false;
  int k = 0;
  for (TPfnct* t = target.head.get(); t; t = t->next.get(), ++k) {
    t->keep = 1;
    cut = cut || outOfTime.expired();
    if (cut) continue;
    BuildCoverKeys(target, *t);
    const std::vector<int>& keys = *t->coverKeys;
    if (indexed && !keys.empty()) {
      std::pair<int, int> range = byKey.of(keys[0]);
      for (int key : keys) {
        const std::pair<int, int> r = byKey.of(key);
        if (r.second - r.first < range.second - range.first) range = r;
      }
      for (int i = range.first; i < range.second; ++i)
        if (dominates(candidates[static_cast<std::size_t>(byKey.holders()[static_cast<std::size_t>(i)])], *t, keys)) {
          t->keep = 0;
          break;
        }
    } else {
      for (const Candidate& c : candidates)
        if (dominates(c, *t, keys)) {
          t->keep = 0;
          break;
        }
    }
    progress.step(k, 0);
  }
  PurgeMarkedTerms(target);
  progress.end();
}

void RemoveSelfDominatedTerms(TBoolFnct& f, const ProgressHooks& progress, const Deadline& deadline) {
  progress.begin("Cheching for dominance", f.termCount, 1);
  std::vector<TPfnct*> terms;
  terms.reserve(static_cast<std::size_t>(f.termCount > 0 ? f.termCount : 0));
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) {
    t->keep = 1;
    BuildCoverKeys(f, *t);
    terms.push_back(t);
  }
  DeadlineProbe outOfTime(deadline, kTermsPerCheck);
  for (std::size_t k = 0; k < terms.size(); ++k) {
    // A term an earlier one removed lies in a kept term's cover; the terms after the cut stay.
    if (outOfTime.expired()) break;
    TPfnct* t = terms[k];
    if (t->keep == 1) {
      const std::vector<int>& tKeys = *t->coverKeys;
      const Signature st = t->coverSignature;
      for (std::size_t j = k + 1; j < terms.size() && t->keep == 1; ++j) {
        TPfnct* u = terms[j];
        if (u->keep != 1) continue;
        const std::vector<int>& uKeys = *u->coverKeys;
        const Signature su = u->coverSignature;
        // With distinct keys, t can lie in u only when it is no longer, and u
        // strictly in t only when it is shorter.
        if (tKeys.size() <= uKeys.size()) {
          if (!(st & ~su) && includedIn(tKeys, uKeys)) t->keep = 0;  // u covers all of t's entries
        } else if (!(su & ~st) && includedIn(uKeys, tKeys)) {
          u->keep = 0;  // u's entries all lie in t's larger cover
        }
      }
    }
    progress.step(static_cast<int>(k), 0);
  }
  PurgeMarkedTerms(f);
  progress.end();
}

}  // namespace vorn
