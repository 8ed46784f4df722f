#include "cover/equal_cubes.h"

#include <unordered_map>

#include "model/term_removal.h"

namespace vorn {

int MergeEqualCubes(TBoolFnct& cover) {
  std::unordered_map<Cube, TPfnct*, CubeHash> first;
  first.reserve(static_cast<std::size_t>(cover.termCount));
  int removed = 0;
  for (TPfnct* t = cover.head.get(); t; t = t->next.get()) {
    t->keep = 1;
    auto [it, fresh] = first.emplace(t->input, t);
    if (fresh) continue;
    std::string& into = it->second->output;
    for (std::size_t j = 0; j < into.size() && j < t->output.size(); ++j)
      if (t->output[j] == '1') into[j] = '1';
    t->keep = 0;
    ++removed;
  }
  if (removed) PurgeMarkedTerms(cover);
  return removed;
}

}  // namespace vorn
