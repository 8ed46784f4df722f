#include "exact/covering_table.h"

#include <algorithm>
#include <map>

#include "unate/cofactor.h"
#include "unate/meet_index.h"

namespace vorn {

namespace {

class CellSplitter {
 public:
  CellSplitter(const PrimeSet& primes, const TableParams& params, CoveringTable& table)
      : primes_(primes),
        words_(primes.cubes.words()),
        params_(params),
        table_(table),
        probe_(params.deadline, 64),
        byFirst_(static_cast<std::size_t>(primes.size())),
        mark_(static_cast<std::size_t>(primes.size()), 0) {}

  /// \brief Forgets the columns made so far for dominance (they stay in the table).
  void forget() {
    for (auto& list : byFirst_) list.clear();
    seen_.clear();
  }
  /// \brief Adds the columns of the cells of the packed on-set cube of output j; false past a bound.
  bool addCube(const std::uint64_t* cube, int j, std::vector<int> candidates) {
    output_ = j;
    std::vector<int> inside;
    std::vector<std::uint64_t> cell(cube, cube + 2 * words_);
    return split(cell, inside, candidates);
  }

 private:
  bool split(std::vector<std::uint64_t>& cell, std::vector<int>& inside, const std::vector<int>& partial);
  /// \brief True when some column's primes all lie in `inside`: every cell below is then dominated.
  bool dominated(const std::vector<int>& inside);
  void emit(const std::vector<int>& inside);
  /// \brief The free input of the cell on which most of the primes hold a literal.
  int splitInput(const std::vector<std::uint64_t>& cell, const std::vector<int>& primes) const;

  const PrimeSet& primes_;
  int words_;
  const TableParams& params_;
  CoveringTable& table_;
  DeadlineProbe probe_;
  int output_ = 0;
  long long cells_ = 0;
  std::map<std::vector<int>, int> seen_;
  std::vector<std::vector<int>> byFirst_;  ///< per prime: the columns whose smallest prime it is
  std::vector<char> mark_;                 ///< per prime: in the set being tested
};

void CellSplitter::emit(const std::vector<int>& inside) {
  std::vector<int> key(inside);
  std::sort(key.begin(), key.end());
  auto it = seen_.find(key);
  if (it == seen_.end()) {
    seen_.emplace(key, static_cast<int>(table_.columns.size()));
    byFirst_[static_cast<std::size_t>(key.front())].push_back(static_cast<int>(table_.columns.size()));
    table_.columns.push_back(std::move(key));
    table_.columnOutputs.push_back({output_});
    return;
  }
  std::vector<int>& outs = table_.columnOutputs[static_cast<std::size_t>(it->second)];
  if (!std::binary_search(outs.begin(), outs.end(), output_))
    outs.insert(std::upper_bound(outs.begin(), outs.end(), output_), output_);
}

int CellSplitter::splitInput(const std::vector<std::uint64_t>& cell, const std::vector<int>& primes) const {
  std::vector<int> count(static_cast<std::size_t>(words_) * 64, 0);
  for (int p : primes) {
    const Word* c = primes_.cubes.cube(p);
    // the prime's literals at positions the cell leaves free
    bits::forEachWordBit(words_, [&](int w) { return literalsIn(c, words_, w) & ~literalsIn(cell.data(), words_, w); },
                         [&](int v) { ++count[static_cast<std::size_t>(v)]; });
  }
  return static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
}

bool CellSplitter::dominated(const std::vector<int>& inside) {
  for (int p : inside) mark_[static_cast<std::size_t>(p)] = 1;
  bool found = false;
  for (std::size_t k = 0; k < inside.size() && !found; ++k)
    for (int c : byFirst_[static_cast<std::size_t>(inside[k])]) {
      const std::vector<int>& col = table_.columns[static_cast<std::size_t>(c)];
      found = std::all_of(col.begin(), col.end(), [&](int p) { return mark_[static_cast<std::size_t>(p)] != 0; });
      if (found) break;
    }
  for (int p : inside) mark_[static_cast<std::size_t>(p)] = 0;
  return found;
}

bool CellSplitter::split(std::vector<std::uint64_t>& cell, std::vector<int>& inside,
                         const std::vector<int>& partial) {
  if (probe_.expired()) return false;
  const std::size_t mark = inside.size();
  std::vector<int> still;
  for (int p : partial) {
    const std::uint64_t* c = primes_.cubes.cube(p);
    if (!cubesMeet(c, cell.data(), words_)) continue;
    if (cubeContains(c, cell.data(), words_))
      inside.push_back(p);
    else
      still.push_back(p);
  }
  bool ok = true;
  // The cells below hold at least the primes of `inside`: a column within them makes them all redundant.
  if ((inside.size() > mark || still.empty()) && dominated(inside)) {
    inside.resize(mark);
    return true;
  }
  if (still.empty()) {
    ok = ++cells_ <= params_.maxCells;
    if (ok) emit(inside);
  } else {
    // A prime that meets the cell without holding it has a literal where the cell is free.
    const int x = splitInput(cell, still);
    const std::size_t w = static_cast<std::size_t>(x >> 6);
    const std::uint64_t bit = std::uint64_t{1} << (x & 63);
    for (int v = 0; v < 2 && ok; ++v) {
      cell[v == 0 ? w : words_ + w] |= bit;
      ok = split(cell, inside, still);
      cell[v == 0 ? w : words_ + w] &= ~bit;
    }
  }
  inside.resize(mark);
  return ok;
}

}  // namespace

bool BuildCoveringTable(const CubeSet& on, const PrimeSet& primes, int outputs, const TableParams& params,
                        CoveringTable& table) {
  table = CoveringTable{};
  CellSplitter splitter(primes, params, table);
  const MeetIndex index(primes.cubes);
  std::vector<int> meeting, candidates;
  for (int j = 0; j < outputs; ++j) {
    if (params.perOutput) splitter.forget();
    // The smallest cubes first: their cells have the fewest primes and make the larger cells redundant.
    std::vector<int> cubes = on.of[static_cast<std::size_t>(j)];
    std::stable_sort(cubes.begin(), cubes.end(), [&](int a, int b) {
      return on.cubes.get(a).countLiterals() > on.cubes.get(b).countLiterals();
    });
    for (int k : cubes) {
      index.meeting(primes.cubes, on.cubes.cube(k), meeting);
      candidates.clear();
      for (int p : meeting)
        if (primes.outputs[static_cast<std::size_t>(p)].test(j)) candidates.push_back(p);
      if (!splitter.addCube(on.cubes.cube(k), j, candidates)) return false;
    }
  }
  return true;
}

}  // namespace vorn
