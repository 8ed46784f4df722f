#include "unate/cofactor.h"

#include <vector>

namespace vorn {

void AppendCofactor(const CubeList& s, const std::uint64_t* p, CubeList& out) {
  const int words = s.words();
  const int count = s.size();
  for (int k = 0; k < count; ++k) {
    const std::uint64_t* c = s.cube(k);
    if (!packedMeet(c, p, words)) continue;
    std::uint64_t* d = out.grow();
    for (int w = 0; w < words; ++w) {
      const std::uint64_t free = ~(p[w] | p[words + w]);
      d[w] = c[w] & free;
      d[words + w] = c[words + w] & free;
    }
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
