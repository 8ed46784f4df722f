// Independent checks for tests: functions from PLA text, evaluation on
// minterms, seeded random functions, and a cover checker that judges a
// result against its source without using any of the minimizer's code
// beyond the reader.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/function.h"
#include "support/cover_check.h"

namespace vorn::test {

/// \brief Parses PLA text; fails the test when it holds no term.
FunctionPtr pla(const std::string& text);

/// \brief True when the cube (as text) contains the minterm given by the bits of m (position 0 = highest bit).
bool cubeHasMinterm(const std::string& cube, std::uint64_t m);

/// \brief The minterm m as a cube text of n characters (position n-1 = lowest bit).
std::string mintermText(std::uint64_t m, int n);

/// \brief Per output, the value of f at minterm m: '1' if some term with '1' there contains it,
/// '0' if some term with '0' there does (fr), '-' when neither.
std::string evaluate(const TBoolFnct& f, std::uint64_t m);

/// \brief A random consistent fr function: a random truth table (on/off/dc per minterm and output),
/// written as a mix of minterms and merged cubes so that intersecting terms never disagree.
FunctionPtr randomFr(std::uint32_t seed, int inputs, int outputs, int dcPercent = 20);

}  // namespace vorn::test

namespace vorn::test {

/// \brief The plain character form of a function, for the independent checker.
PlainFunction plain(const TBoolFnct& f);
/// \brief Empty when result is a valid cover of the fr source; otherwise the first fault.
std::string checkCover(const TBoolFnct& source, const TBoolFnct& result);

}  // namespace vorn::test
