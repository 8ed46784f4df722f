// Per-term bit sets over the outputs of a function.
//
// FC-Min asks the same questions of the source's output parts over and over:
// how many outputs of a term hold an uncovered '1' under the group's '1's,
// does a term have '0' where an implicant has '1'.  Holding each term's '1',
// '0' and '~' positions as 64-bit words turns every such question into a few
// AND/popcount operations instead of a walk over the output characters.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/bits.h"
#include "model/function.h"

namespace vorn {

/// \brief Sets in `row` (cleared first) the positions of `text` that hold `c`.
inline void markChar(Word* row, int words, const std::string& text, int n, char c) {
  std::fill(row, row + words, Word{0});
  for (int j = 0; j < n && j < static_cast<int>(text.size()); ++j)
    if (text[j] == c) bits::setBit(row, j);
}

/// The terms of a function in list order with their outputs as bit sets.
struct OutputMasks {
  std::vector<const TPfnct*> terms;
  WordRows ones, zeros, tildes;  ///< one row per term, one bit per output
  /// The positions of the terms holding some '0', in list order: only they can contradict an
  /// implicant's '1's, and a source given mostly as on-set has few of them.
  std::vector<int> withZero;
};

/// \brief Indexes the output parts of f's terms; a missing output character counts as '~'.
OutputMasks indexOutputs(const TBoolFnct& f);

}  // namespace vorn
