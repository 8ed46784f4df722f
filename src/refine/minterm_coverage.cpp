// Coverage counts on literal columns.
//
// IRREDUNDANT and REDUCE ask, term after term, which on-set minterms of an
// output a term holds and how many other terms hold them.  When the on-set
// terms are minterms, the minterms inside a cube are the AND of the columns
// of its literals (LiteralColumns::inside), so keeping one count per output
// and minterm answers both questions by a walk over the bits of that span:
// redundant means every count is at least two, what only the term covers is
// the minterms counted once, and its supercube is read from the columns
// (an input stays a literal when none of those minterms has the other value).
// The counts follow every change of the cover that the steps make.
#include "refine/minterm_coverage.h"

#include <algorithm>

#include "model/packed_cube.h"

namespace vorn {

namespace {
/// The most counts (one int per output and on-set term) kept.
constexpr std::size_t kMaxCounts = std::size_t{1} << 24;
}  // namespace

bool MintermCoverage::applies(const RefineSource& source) {
  const CubeSet& on = source.on;
  if (!on.hasColumns() || !on.minterms) return false;
  return static_cast<std::size_t>(source.outputs) * static_cast<std::size_t>(on.cubes.size()) <= kMaxCounts;
}

MintermCoverage::MintermCoverage(const RefineSource& source, const Cover& cover)
    : source_(source), cover_(cover), ob_(source.on.columns.blocks()) {
  count_.assign(static_cast<std::size_t>(source.outputs), std::vector<int>(static_cast<std::size_t>(source.on.cubes.size()), 0));
  counted_.assign(static_cast<std::size_t>(cover.size()), 0);
  outputs_.assign(static_cast<std::size_t>(cover.size()), OutputSet(source.outputs));
  inside_.resize(ob_);
  span_.resize(ob_);
  unique_.resize(ob_);
  for (int k = 0; k < cover.size(); ++k)
    if (cover.alive[static_cast<std::size_t>(k)]) restore(k);
}

void MintermCoverage::insideFor(const std::uint64_t* cube, int j) {
  source_.on.columns.inside(cube, span_.data());
  bitspan::andInto(span_.data(), source_.on.ofBits[static_cast<std::size_t>(j)].data(), ob_);
}

void MintermCoverage::add(int k, int delta) {
  const std::uint64_t* cube = cover_.in.cube(k);
  source_.on.columns.inside(cube, inside_.data());
  outputs_[static_cast<std::size_t>(k)].forEach([&](int j) {
    std::vector<int>& c = count_[static_cast<std::size_t>(j)];
    span_ = inside_;
    bitspan::andInto(span_.data(), source_.on.ofBits[static_cast<std::size_t>(j)].data(), ob_);
    bitspan::forEach(span_.data(), ob_, [&](int t) { c[static_cast<std::size_t>(t)] += delta; });
  });
}

void MintermCoverage::remove(int k) {
  if (!counted_[static_cast<std::size_t>(k)]) return;
  add(k, -1);
  counted_[static_cast<std::size_t>(k)] = 0;
}

void MintermCoverage::restore(int k) {
  if (counted_[static_cast<std::size_t>(k)]) return;
  outputs_[static_cast<std::size_t>(k)] = cover_.out[static_cast<std::size_t>(k)];
  add(k, 1);
  counted_[static_cast<std::size_t>(k)] = 1;
}

void MintermCoverage::removeOutput(int k, int j) {
  OutputSet& o = outputs_[static_cast<std::size_t>(k)];
  if (!counted_[static_cast<std::size_t>(k)] || !o.test(j)) return;
  insideFor(cover_.in.cube(k), j);
  std::vector<int>& c = count_[static_cast<std::size_t>(j)];
  bitspan::forEach(span_.data(), ob_, [&](int t) { --c[static_cast<std::size_t>(t)]; });
  o.reset(j);
}

bool MintermCoverage::coveredByOthers(int k, int j) {
  insideFor(cover_.in.cube(k), j);
  const int self = counted_[static_cast<std::size_t>(k)] && outputs_[static_cast<std::size_t>(k)].test(j) ? 1 : 0;
  const std::vector<int>& c = count_[static_cast<std::size_t>(j)];
  bool all = true;
  bitspan::forEach(span_.data(), ob_, [&](int t) { all = all && c[static_cast<std::size_t>(t)] - self >= 1; });
  return all;
}

bool MintermCoverage::uniquePart(int k, std::uint64_t* out, OutputSet& idle) {
  const std::uint64_t* cube = cover_.in.cube(k);
  source_.on.columns.inside(cube, inside_.data());
  std::fill(unique_.begin(), unique_.end(), 0);
  idle = OutputSet(source_.outputs);
  const bool self = counted_[static_cast<std::size_t>(k)];
  cover_.out[static_cast<std::size_t>(k)].forEach([&](int j) {
    span_ = inside_;
    bitspan::andInto(span_.data(), source_.on.ofBits[static_cast<std::size_t>(j)].data(), ob_);
    const std::vector<int>& c = count_[static_cast<std::size_t>(j)];
    const int mine = self && outputs_[static_cast<std::size_t>(k)].test(j) ? 1 : 0;
    bool any = false;
    bitspan::forEach(span_.data(), ob_, [&](int t) {
      if (c[static_cast<std::size_t>(t)] - mine >= 1) return;
      bitspan::set(unique_.data(), t);
      any = true;
    });
    if (!any) idle.set(j);
  });
  if (!bitspan::any(unique_.data(), ob_)) return false;
  const int words = cover_.in.words();
  std::fill(out, out + cover_.in.stride(), 0);
  const LiteralColumns& cols = source_.on.columns;
  for (int i = 0; i < source_.inputs; ++i) {
    const bool zero = bitspan::countBoth(unique_.data(), cols.holds(i, 0), ob_) > 0;
    const bool one = bitspan::countBoth(unique_.data(), cols.holds(i, 1), ob_) > 0;
    if (zero != one) putLiteral(out, words, i, one);
  }
  return true;
}

void MintermCoverage::shrink(int k, const std::uint64_t* now, const OutputSet& outputs) {
  if (!counted_[static_cast<std::size_t>(k)]) return;
  add(k, -1);
  // add() reads the term's cube from the cover: count the new one from `now`.
  source_.on.columns.inside(now, inside_.data());
  outputs_[static_cast<std::size_t>(k)] = outputs;
  outputs.forEach([&](int j) {
    std::vector<int>& c = count_[static_cast<std::size_t>(j)];
    span_ = inside_;
    bitspan::andInto(span_.data(), source_.on.ofBits[static_cast<std::size_t>(j)].data(), ob_);
    bitspan::forEach(span_.data(), ob_, [&](int t) { ++c[static_cast<std::size_t>(t)]; });
  });
}

}  // namespace vorn
