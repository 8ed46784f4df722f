// Cube texts for the brute-force checks of the cube-list algorithms: which
// minterms a text holds, and the packed list made of a set of texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "unate/cube_list.h"

namespace vorn::test {

/// \brief True when the cube text (position p = bit p of m) holds minterm m.
inline bool has(const std::string& cube, std::uint32_t m) {
  for (std::size_t p = 0; p < cube.size(); ++p) {
    const char bit = (m >> p) & 1 ? '1' : '0';
    if (cube[p] != '-' && cube[p] != bit) return false;
  }
  return true;
}

/// \brief True when some cube of the list holds minterm m.
inline bool inUnion(const std::vector<std::string>& cubes, std::uint32_t m) {
  for (const std::string& c : cubes)
    if (has(c, m)) return true;
  return false;
}

/// \brief The packed list of n inputs holding the cube texts in order.
inline CubeList listOf(int n, const std::vector<std::string>& cubes) {
  CubeList l(n);
  for (const std::string& c : cubes) l.push(Cube(c));
  return l;
}

}  // namespace vorn::test
