// A cube lies in a union of cubes exactly when the union's cofactor with
// respect to the cube is a tautology.  Most questions are settled before
// that: by one cube of the union holding it whole, or by no cube meeting it.
#include "unate/containment.h"

#include <vector>

#include "unate/cofactor.h"

namespace vorn {

bool ContainmentCheck::covered(const std::uint64_t* c, const CubeList& cover) {
  const int words = cover.words();
  for (int k = 0; k < cover.size(); ++k)
    if (cubeContains(cover.cube(k), c, words)) return true;
  cofactor_.clear();
  AppendCofactor(cover, c, cofactor_);
  return tautology_.check(cofactor_.raw().data(), cofactor_.size());
}

bool PackedCubeCovered(const std::uint64_t* c, const CubeList& cover, TautologyStats* stats) {
  ContainmentCheck check(cover.inputs());
  const bool yes = check.covered(c, cover);
  if (stats) {
    stats->checks += check.stats().checks;
    stats->splits += check.stats().splits;
    stats->leaves += check.stats().leaves;
  }
  return yes;
}

bool CubeCovered(const Cube& c, const CubeList& cover, TautologyStats* stats) {
  std::vector<std::uint64_t> packed(cover.stride());
  packCube(c, cover.words(), packed.data());
  return PackedCubeCovered(packed.data(), cover, stats);
}

}  // namespace vorn
