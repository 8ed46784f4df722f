// An independent judge of minimization results.  A result is a valid cover
// of an fr source when, for every output, it covers every on-set term of the
// source and none of its terms with '1' at that output meets an off-set term
// of the source.  It works on plain character cubes and shares no code with
// the minimizer, so a fault there cannot hide itself here.
#pragma once

#include <string>
#include <vector>

namespace vorn::test {

struct PlainFunction {
  int inputs = 0, outputs = 0;
  std::vector<std::string> in, out;  ///< one input cube and one output part per term
};

/// \brief Empty when `result` is a valid cover of `source`; otherwise a description of the first fault.
std::string checkCover(const PlainFunction& source, const PlainFunction& result);

}  // namespace vorn::test
