// Containment of a cube in a union of cubes.
#pragma once

#include <cstdint>

#include "model/cube.h"
#include "unate/cube_list.h"
#include "unate/tautology.h"

namespace vorn {

/// \brief True when every minterm of the cube c lies in some cube of `cover`.
bool CubeCovered(const Cube& c, const CubeList& cover, TautologyStats* stats = nullptr);
/// \brief The same for a cube given packed, of the list's width.
bool PackedCubeCovered(const std::uint64_t* c, const CubeList& cover, TautologyStats* stats = nullptr);

/// Reused buffers for many containment checks against lists of one width.
class ContainmentCheck {
 public:
  explicit ContainmentCheck(int inputs) : cofactor_(inputs), tautology_(cofactor_.words()) {}
  /// \brief True when the packed cube c lies in the union of `cover`.
  bool covered(const std::uint64_t* c, const CubeList& cover);
  /// \brief The work of the tautology checks so far.
  const TautologyStats& stats() const { return tautology_.stats; }

 private:
  CubeList cofactor_;
  TautologyChecker tautology_;
};

}  // namespace vorn
