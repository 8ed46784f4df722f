// Which cubes of a list meet a given cube, answered by bit columns.
//
// Two cubes meet unless some input holds opposite literals in them.  For each
// input the index keeps one bit per cube holding 0 there and one per cube
// holding 1; the cubes a query cube cannot meet are then the union of the
// columns of its opposite literals, a few word operations per literal
// instead of one cube comparison per cube of the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "unate/cube_list.h"

namespace vorn {

class MeetIndex {
 public:
  MeetIndex() = default;
  /// \brief Indexes the cubes of `cubes` as they are now; past a size bound the queries scan the list.
  explicit MeetIndex(const CubeList& cubes);
  /// \brief Indices of the cubes of `cubes` (the indexed list, or one whose cubes have only shrunk since)
  /// that may meet the packed cube p, in increasing order.  With an index the answer can hold cubes that
  /// shrank away from p; without one it is exact.
  void meeting(const CubeList& cubes, const std::uint64_t* p, std::vector<int>& out) const;
  /// \brief True when queries use bit columns rather than a scan.
  bool indexed() const { return indexed_; }

 private:
  bool indexed_ = false;
  int count_ = 0;
  int blocks_ = 0;           ///< words per column
  WordRows zeroAt_, oneAt_;  ///< per input, the cubes holding 0 (1) there
  std::vector<char> used_;                     ///< per input and polarity (2i: 0, 2i+1: 1): some cube has it
};

}  // namespace vorn
