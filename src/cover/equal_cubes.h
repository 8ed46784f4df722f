// Folding cover terms that share an input cube.
//
// A multi-output cover can hold the same cube twice with different output
// parts: FC-Min gives a group's cube only the outputs of its group, while
// the CD step gives a cube every output it is an implicant of, and neither
// dominates the other when their covers differ.  One term with the union of
// the '1's realizes exactly the same outputs with one term and its literals
// fewer, so the cover keeps the first such term and folds the others into it.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Folds every term whose cube equals an earlier term's into that term ('1' wins per output);
/// returns the number of terms removed.
int MergeEqualCubes(TBoolFnct& cover);

}  // namespace vorn
