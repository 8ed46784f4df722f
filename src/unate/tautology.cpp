// Tautology by unate recursive splitting.
//
// A list is a tautology when both of its cofactors with respect to any
// variable are.  Splitting is only needed while some variable is binate
// (appears as 0 in one cube and as 1 in another): a cube with a literal in
// a unate variable can be dropped (setting that variable against its only
// polarity removes exactly those cubes, and what stays does not depend on
// it), and a list with no binate variable left is a tautology exactly when
// it holds the universal cube.  A list whose cubes hold fewer minterms
// together than the space is no tautology either.  The split variable is the
// most binate one (the most cubes with a literal there), which shrinks both
// cofactors fastest.
//
// The recursion runs on an explicit stack of sub-lists held back to back in
// one array: a function with tens of thousands of inputs may need that many
// nested splits, far beyond what the call stack holds, and the sub-lists are
// built without one allocation per cube.
#include "unate/tautology.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace vorn {

TautologyChecker::TautologyChecker(int words) : words_(words) { arena_.reshape(2 * words); }

bool TautologyChecker::check(const std::uint64_t* cubes, int count) {
  ++stats.checks;
  if (words_ == 0) return count > 0;
  arena_.assign(cubes, count);
  frames_.clear();
  frames_.push_back({0, count});
  while (!frames_.empty()) {
    Frame f = frames_.back();
    frames_.pop_back();
    int split = -1;
    const Verdict v = examine(f, split);
    if (v == Verdict::NotTautology) return false;
    if (v == Verdict::Tautology) {
      ++stats.leaves;
      arena_.truncate(f.first);
      continue;
    }
    ++stats.splits;
    splitFrame(f, split);
  }
  return true;
}

TautologyChecker::Verdict TautologyChecker::examine(Frame& f, int& split) {
  for (;;) {
    if (f.count == 0) return Verdict::NotTautology;
    literals_.reset(words_);
    double volume = 0;
    for (int k = 0; k < f.count; ++k) {
      const std::uint64_t* c = at(f.first + k);
      literals_.add(c);
      const int lits = cubeLiterals(c, words_);
      if (lits == 0) return Verdict::Tautology;
      if (volume < 1) volume += std::ldexp(1.0, -lits);
    }
    if (!literals_.anyBinate()) return Verdict::NotTautology;
    if (literals_.anyUnate()) {
      dropUnateCubes(f);
      continue;
    }
    if (volume < 1) return Verdict::NotTautology;
    split = mostBinate(f);
    return Verdict::Split;
  }
}

void TautologyChecker::dropUnateCubes(Frame& f) {
  int kept = 0;
  for (int k = 0; k < f.count; ++k) {
    std::uint64_t* c = at(f.first + k);
    if (bits::anyWord(words_, [&](int w) { return literalsIn(c, words_, w) & literals_.unate(w); })) continue;
    if (kept != k) std::memmove(at(f.first + kept), c, rowBytes());
    ++kept;
  }
  f.count = kept;
}

int TautologyChecker::mostBinate(const Frame& f) {
  return mostLiterals(at(f.first), f.count, static_cast<std::size_t>(arena_.words()), words_,
                      [&](int w) { return literals_.binate(w); }, counts_);
}

void TautologyChecker::splitFrame(const Frame& f, int v) {
  const int end = f.first + f.count;
  arena_.resize(end + 2 * f.count);
  int out = end;
  int counts[2] = {0, 0};
  // Cofactor v = 1 keeps the cubes without 0 at v; cofactor v = 0 those without 1.
  for (int side = 0; side < 2; ++side) {
    for (int k = 0; k < f.count; ++k) {
      const std::uint64_t* c = at(f.first + k);
      if (!meetsLiteral(c, words_, v, side == 0)) continue;
      std::uint64_t* d = at(out++);
      std::memcpy(d, c, rowBytes());
      freePosition(d, words_, v);
      ++counts[side];
    }
  }
  std::memmove(at(f.first), at(end), static_cast<std::size_t>(out - end) * rowBytes());
  arena_.truncate(f.first + (out - end));
  frames_.push_back({f.first, counts[0]});
  frames_.push_back({f.first + counts[0], counts[1]});
}

bool TautologyPacked(const std::uint64_t* cubes, int count, int words, TautologyStats* stats) {
  TautologyChecker checker(words);
  const bool yes = checker.check(cubes, count);
  if (stats) {
    stats->checks += checker.stats.checks;
    stats->splits += checker.stats.splits;
    stats->leaves += checker.stats.leaves;
  }
  return yes;
}

bool Tautology(const CubeList& s, TautologyStats* stats) {
  return TautologyPacked(s.raw().data(), s.size(), s.words(), stats);
}

}  // namespace vorn
