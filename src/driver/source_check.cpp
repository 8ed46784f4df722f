#include "driver/source_check.h"

#include <cstdint>
#include <vector>

#include "modes/intersecting_pairs.h"

namespace vorn {

namespace {

}  // namespace

std::optional<OnOffConflict> findOnOffConflict(const TBoolFnct& f) {
  std::vector<const TPfnct*> terms;
  std::vector<const Cube*> cubes;
  forEachTerm(f, [&](const TPfnct& t) {
    terms.push_back(&t);
    cubes.push_back(&t.input);
  });
  const int m = f.outputCount;
  // Every intersecting pair asks whether one term's '1' meets the other's
  // '0' at some output: held as bit sets, that is a few word operations
  // instead of a walk over the output characters.
  const std::size_t words = static_cast<std::size_t>(m + 63) / 64;
  std::vector<std::uint64_t> ones(terms.size() * words, 0), zeros(terms.size() * words, 0);
  for (std::size_t k = 0; k < terms.size(); ++k)
    for (int j = 0; j < m; ++j) {
      const char c = outputAt(*terms[k], j);
      const std::uint64_t bit = std::uint64_t{1} << (j % 64);
      if (c == '1') ones[k * words + static_cast<std::size_t>(j / 64)] |= bit;
      if (c == '0') zeros[k * words + static_cast<std::size_t>(j / 64)] |= bit;
    }
  auto onOff = [&](int a, int b) {
    const std::size_t x = static_cast<std::size_t>(a) * words, y = static_cast<std::size_t>(b) * words;
    for (std::size_t w = 0; w < words; ++w)
      if ((ones[x + w] & zeros[y + w]) | (zeros[x + w] & ones[y + w])) return true;
    return false;
  };
  const auto pair = firstIntersectingPair(cubes, onOff);
  if (!pair) return std::nullopt;
  const auto [a, b] = *pair;
  const int j = firstOnOffOutput(*terms[a], *terms[b], m);
  if (outputAt(*terms[a], j) == '1') return OnOffConflict{a, b, j};
  return OnOffConflict{b, a, j};
}

std::optional<int> findTildeInput(const TBoolFnct& f) {
  int k = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get(), ++k)
    if (bits::anyBit(t->input.tilde(), t->input.words())) return k;
  return std::nullopt;
}

}  // namespace vorn
