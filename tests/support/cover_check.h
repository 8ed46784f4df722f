// An independent judge of minimization results.  A result is a valid cover
// of a source when, for every output, it covers the source's on-set and
// every term with '1' at that output lies inside on-set and don't-care set.
// By the source's type: fr and fdr sources give the off-set ('0'), so a
// result term must meet none of it; f and fd sources give on-set and
// don't-care set, so a result term must lie inside their union (a tautology
// check of the cofactor); an r source gives the off-set, and its on-set, the
// rest, is covered when off-set and result together fill the space.  It works on plain character cubes and shares no code with
// the minimizer, so a fault there cannot hide itself here.
#pragma once

#include <string>
#include <vector>

namespace vorn::test {

struct PlainFunction {
  int inputs = 0, outputs = 0;
  std::string type = "fr";           ///< f, fd, fr, fdr or r
  std::vector<std::string> in, out;  ///< one input cube and one output part per term
};

/// \brief Reads a PLA file (any type) into its plain form; false when it holds no function.
bool readPlain(const std::string& path, PlainFunction& into);
/// \brief The same from PLA text.
bool readPlainText(const std::string& text, PlainFunction& into);
/// \brief Empty when `result` is a valid cover of `source`; otherwise a description of the first fault.
std::string checkCover(const PlainFunction& source, const PlainFunction& result);

}  // namespace vorn::test
