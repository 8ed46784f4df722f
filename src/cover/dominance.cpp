// Dominance passes.
//
// Cross-dominance (target against other) and self-dominance (a function
// against itself) both ask "does u cover every entry of t?".  The lookup of
// an entry of u in t's cover is a single byte test in a map painted with t's
// cover keys; the map is painted once per t and unpainted afterwards, so no
// pass ever clears the whole key space per term.  Keys outside the map (only
// possible with inconsistent lists) fall back to the binary search over t's
// sorted keys, which gives the same answer.  Two cheap necessary conditions
// skip most pairs in the cross pass: u must be at least as large a cube and
// must have at least as many entries as t (each entry of u finds at most one
// of t's entries), and three binary searches for t's smallest, middle and
// largest key among u's sorted keys.  A 64-bit signature per term (bit key mod 64 for each
// entry) settles most pairs before any walk: when t's signature has a bit
// that u's lacks, u cannot hold all of t's entries, and when in addition u's
// has a bit that t's lacks, u also has an entry outside t's cover; both rely
// on a cover list naming each entry once, which DetermineCover guarantees.
#include "cover/dominance.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "model/term_removal.h"

namespace vorn {

namespace {

int maxOnCountOf(const TBoolFnct& f) { return f.source ? f.source->maxOnCount : 0; }

/// One byte per cover key of a function; painted with one term's cover at a time.
class KeyMap {
 public:
  KeyMap(int maxOnCount, int outputs)
      : m_(maxOnCount), cells_(static_cast<std::size_t>(maxOnCount > 0 && outputs > 0 ? maxOnCount : 0) *
                               static_cast<std::size_t>(outputs > 0 ? outputs : 0), 0) {}

  /// The cell of an entry, or -1 when its key lies outside the map.
  long long cellOf(const CoverEntry& e) const {
    if (e.onIndex < 0 || e.onIndex >= m_ || e.output < 0) return -1;
    const long long cell = static_cast<long long>(e.output) * m_ + e.onIndex;
    return cell < static_cast<long long>(cells_.size()) ? cell : -1;
  }
  void paint(const std::vector<CoverEntry>& covers, char value) {
    for (const CoverEntry& e : covers) {
      const long long c = cellOf(e);
      if (c >= 0) cells_[static_cast<std::size_t>(c)] = value;
    }
  }
  bool marked(long long cell) const { return cells_[static_cast<std::size_t>(cell)] != 0; }

 private:
  int m_;
  std::vector<char> cells_;
};

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

/// Does u cover every entry of t, whose cover is painted in `map` and sorted in `keys`?
bool coversAll(const TPfnct& u, const TPfnct& t, const KeyMap& map, const std::vector<int>& keys, int m) {
  int left = t.coverCount;
  for (auto e = u.covers.begin(); e != u.covers.end() && left > 0; ++e) {
    const long long cell = map.cellOf(*e);
    const bool found = cell >= 0 ? map.marked(cell)
                                 : ContainsInt(keys.data(), static_cast<int>(keys.size()), CoverKey(*e, m)) != 0;
    if (found) --left;
  }
  return left == 0;
}

using Signature = std::uint64_t;

Signature signatureOf(const TPfnct& t, int m) {
  Signature s = 0;
  for (const CoverEntry& e : t.covers) s |= Signature{1} << (static_cast<unsigned>(CoverKey(e, m)) & 63u);
  return s;
}

/// Are the smallest, middle and largest of t's sorted keys among u's sorted
/// keys?  A necessary condition for u to cover t, decided in three binary
/// searches where the byte map would walk all of u's entries.
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
  term.coverKeys = std::move(keys);
}

void RemoveDominatedTerms(TBoolFnct& target, TBoolFnct& other, const ProgressHooks& progress) {
  progress.begin("Cheching for dominance", target.termCount, 1);
  if (!target.head) {  // the key map spans every output: not worth building for nothing
    progress.end();
    return;
  }
  const int m = maxOnCountOf(target);
  KeyMap map(m, target.outputCount);
  // The terms of other are scanned once per term of target: a flat array of
  // what the filters read keeps that scan in the cache.
  struct Candidate {
    int freeCount;
    int entries;
    Signature signature;
    const TPfnct* term;
  };
  std::vector<Candidate> candidates;
  candidates.reserve(static_cast<std::size_t>(other.termCount));
  for (TPfnct* u = other.head.get(); u; u = u->next.get()) {
    BuildCoverKeys(other, *u);  // sorted keys let a few probes reject most pairs
    candidates.push_back({u->freeCount, static_cast<int>(u->covers.size()), signatureOf(*u, m), u});
  }
  int k = 0;
  for (TPfnct* t = target.head.get(); t; t = t->next.get(), ++k) {
    t->keep = 1;
    BuildCoverKeys(target, *t);
    map.paint(t->covers, 1);
    const Signature st = signatureOf(*t, m);
    for (const Candidate& c : candidates) {
      if (c.freeCount < t->freeCount || c.entries < t->coverCount || (st & ~c.signature)) continue;
      if (!holdsProbes(*c.term->coverKeys, *t->coverKeys)) continue;
      if (coversAll(*c.term, *t, map, *t->coverKeys, m)) {
        t->keep = 0;
        break;
      }
    }
    map.paint(t->covers, 0);
    progress.step(k, 0);
  }
  PurgeMarkedTerms(target);
  progress.end();
}

void RemoveSelfDominatedTerms(TBoolFnct& f, const ProgressHooks& progress) {
  progress.begin("Cheching for dominance", f.termCount, 1);
  if (!f.head) {
    progress.end();
    return;
  }
  const int m = maxOnCountOf(f);
  KeyMap map(m, f.outputCount);
  std::vector<Signature> signatures;
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) {
    t->keep = 1;
    signatures.push_back(signatureOf(*t, m));
  }
  int k = 0;
  for (TPfnct* t = f.head.get(); t; t = t->next.get(), ++k) {
    if (t->keep == 1) {
      map.paint(t->covers, 1);
      const int n = static_cast<int>(t->covers.size());
      const Signature st = signatures[static_cast<std::size_t>(k)];
      std::size_t ui = static_cast<std::size_t>(k);
      for (TPfnct* u = t->next.get(); u && t->keep == 1; u = u->next.get()) {
        const Signature su = signatures[++ui];
        if (u->keep != 1) continue;
        if ((st & ~su) && (su & ~st)) continue;  // neither cover can hold the other
        int left = n;
        bool outside = false;
        for (auto e = u->covers.begin(); e != u->covers.end() && left > 0; ++e) {
          const long long cell = map.cellOf(*e);
          if (cell >= 0 && map.marked(cell))
            --left;
          else
            outside = true;
        }
        if (left <= 0)
          t->keep = 0;  // u covers all of t's entries
        else if (!outside)
          u->keep = 0;  // u's entries all lie in t's larger cover
      }
      map.paint(t->covers, 0);
    }
    progress.step(k, 0);
  }
  PurgeMarkedTerms(f);
  progress.end();
}

}  // namespace vorn
