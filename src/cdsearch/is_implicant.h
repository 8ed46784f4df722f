// The implicant test shared by CD-search, implicant expansion and the setting
// of output parts.
//
// For an fr function a cube is an implicant of output i when it meets no
// off-set term of i: one word-parallel conflict test per off-set entry.  For
// an fd function (no off-set) the cube must lie inside the on-set and
// don't-care terms of i together; that is decided by a tautology check of
// their cofactor by the cube, which stays fast where subtracting the terms
// from the cube (cube sharp) would split it into exponentially many pieces.
//
// `ImplicantTester` is the same test bound to one output and packed into flat
// mask arrays, for the loops that test thousands of cubes against the same
// output.  It also keeps the subset of off-set entries that CD-search has not
// yet separated from its cube, so that those are the only ones scanned.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "unate/containment.h"

#include "model/function.h"

namespace vorn {

/// \brief 1 when the cube is an implicant of output i of f (fr: meets no unseparated off-set entry; fd: covered by on-set and don't-care), else 0.
int IsImplicant(const TBoolFnct& f, const Cube& cube, int output);
/// \brief The same test on a term's input cube.
int IsImplicant(const TBoolFnct& f, const TPfnct& cube, int output);

/// The implicant test of one output, packed for repeated use.
class ImplicantTester {
 public:
  /// \brief Packs the lists of output i of f; f's lists must stay unchanged while the tester lives.
  ImplicantTester(const TBoolFnct& f, int output);

  /// \brief True when the cube is an implicant of the output, ignoring separated off-set entries.
  bool test(const Cube& cube);
  /// \brief fr: drops the live off-set entries that hold the opposite of `value` at position p.
  void separate(int p, bool value);
  /// \brief Makes every off-set entry live again.
  void unseparateAll();

 private:
  int type_;
  int words_;
  CubeList off_;       // all off-set entries of the output (fr)
  CubeList live_;      // the entries not separated, in list order
  CubeList allowed_;   // on-set and don't-care entries (fd)
  std::unique_ptr<ContainmentCheck> check_;
  std::vector<std::uint64_t> packed_;
};

}  // namespace vorn
