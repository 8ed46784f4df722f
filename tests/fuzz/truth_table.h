// Truth tables of small functions, for judging results minterm by minterm.
// A function is read by the meaning of its type (f, fd, fr, fdr, r): per
// minterm and output '1' (on-set), '0' (off-set), '-' (don't-care) or 'X'
// (on-set and off-set at once, an inconsistent source).  It works on the
// plain character form and shares no code with the minimizer.
#pragma once

#include <string>
#include <vector>

#include "support/cover_check.h"

namespace vorn::test {

/// The largest input count whose truth table is enumerated.
constexpr int kMaxTableInputs = 10;

/// \brief One string of `outputs` values per minterm (minterm 0 first, position 0 the highest bit).
std::vector<std::string> truthTable(const PlainFunction& f);
/// \brief Empty when every on-set point of `source` is '1' in `result` and no off-set point is; else the first fault.
std::string coverTableFault(const PlainFunction& source, const PlainFunction& result);
/// \brief Empty when both functions give every minterm the same on-set and off-set points; else the first
/// difference.  With `closesDontCares`, a don't-care of `a` may be off in `b`.
std::string sameTableFault(const PlainFunction& a, const PlainFunction& b, bool closesDontCares = false);
/// \brief Empty when no two terms of f share a minterm; else the first pair.
std::string disjointFault(const PlainFunction& f);

}  // namespace vorn::test
