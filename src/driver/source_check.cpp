#include "driver/source_check.h"

#include <vector>

namespace vorn {

std::optional<OnOffConflict> findOnOffConflict(const TBoolFnct& f) {
  std::vector<const TPfnct*> terms;
  forEachTerm(f, [&](const TPfnct& t) { terms.push_back(&t); });
  const int m = f.outputCount;
  for (std::size_t a = 0; a < terms.size(); ++a)
    for (std::size_t b = a + 1; b < terms.size(); ++b) {
      if (!terms[a]->input.intersects(terms[b]->input)) continue;
      for (int j = 0; j < m; ++j) {
        const char x = outputAt(*terms[a], j), y = outputAt(*terms[b], j);
        if (x == '1' && y == '0') return OnOffConflict{static_cast<int>(a), static_cast<int>(b), j};
        if (x == '0' && y == '1') return OnOffConflict{static_cast<int>(b), static_cast<int>(a), j};
      }
    }
  return std::nullopt;
}

std::optional<int> findTildeInput(const TBoolFnct& f) {
  int k = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get(), ++k)
    for (int w = 0; w < t->input.words(); ++w)
      if (t->input.tilde()[w]) return k;
  return std::nullopt;
}

}  // namespace vorn
