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
  // The terms of other are scanned once per term of target: a flat array of
  // what the filters read keeps that scan in the cache.
  struct Candidate {
    int freeCount;
    int entries;
    Signature signature;
    const std::vector<int>* keys;
  };
  std::vector<Candidate> candidates;
  if (target.head) {
    candidates.reserve(static_cast<std::size_t>(other.termCount));
    for (TPfnct* u = other.head.get(); u; u = u->next.get()) {
      BuildCoverKeys(other, *u);
      candidates.push_back({u->freeCount, static_cast<int>(u->coverKeys->size()), u->coverSignature, &*u->coverKeys});
    }
  }
  DeadlineProbe outOfTime(deadline, kTermsPerCheck);
  bool cut = false;
  int k = 0;
  for (TPfnct* t = target.head.get(); t; t = t->next.get(), ++k) {
    t->keep = 1;
    cut = cut || outOfTime.expired();
    if (cut) continue;
    BuildCoverKeys(target, *t);
    const std::vector<int>& keys = *t->coverKeys;
    const int entries = static_cast<int>(keys.size());
    const Signature st = t->coverSignature;
    for (const Candidate& c : candidates) {
      if (c.freeCount < t->freeCount || c.entries < entries || (st & ~c.signature)) continue;
      if (!holdsProbes(*c.keys, keys)) continue;
      if (includedIn(keys, *c.keys)) {
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
