// Cofactors of cube lists.
//
// The cofactor of a list with respect to a cube p keeps the cubes that meet
// p and frees, in each, the positions where p has a literal: a minterm of p
// lies in the union of the list exactly when the cofactor, read over the
// remaining positions, is a tautology.  Containment, tautology splitting and
// the supercube of an uncovered part all reduce to it.
#pragma once

#include <cstdint>

#include "model/cube.h"
#include "unate/cube_list.h"

namespace vorn {

/// \brief Appends to out the cofactor of s with respect to the packed cube p (same width as s).
void AppendCofactor(const CubeList& s, const std::uint64_t* p, CubeList& out);
/// \brief The cofactor of s with respect to the cube p.
CubeList Cofactor(const CubeList& s, const Cube& p);

}  // namespace vorn
