#include "unate/cofactor.h"

#include <vector>

namespace vorn {

void AppendCofactor(const CubeList& s, const std::uint64_t* p, CubeList& out) {
  const int words = s.words();
  const int count = s.size();
  for (int k = 0; k < count; ++k) {
    const std::uint64_t* c = s.cube(k);
    if (cubesMeet(c, p, words)) cubeCofactor(out.grow(), c, p, words);
  }
}

CubeList Cofactor(const CubeList& s, const Cube& p) {
  std::vector<std::uint64_t> packed(s.stride());
  packCube(p, s.words(), packed.data());
  CubeList out(s.inputs());
  AppendCofactor(s, packed.data(), out);
  return out;
}

}  // namespace vorn
