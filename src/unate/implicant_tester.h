// The implicant test: may a cube carry output i of a function?  Every
// algorithm that asks it (CD-search, implicant expansion, the setting of
// output parts, FC-Min's validity and expansion) calls this one.
//
// For an fr function a cube is an implicant of output i when it meets no
// off-set term of i: one word-parallel conflict test per off-set entry (the
// explicit off-set).  For an fd function (no off-set) the cube must lie
// inside the on-set and don't-care terms of i together (the inside test);
// that is decided by a tautology check of their cofactor by the cube, which
// stays fast where subtracting the terms from the cube (cube sharp) would
// split it into exponentially many pieces.
//
// The off-set terms of an fr function sit in the off-lists of many outputs;
// testing a cube at every output of a function of more than 64 inputs asks
// once per term whether it meets the cube, so a wide function with few terms costs its list entries, not its
// outputs times its inputs.
//
// `ImplicantTester` is the test bound to one output and packed into a cube
// list, for the loops that test thousands of cubes against the same output.
// It also keeps the subset of off-set entries that CD-search has not yet
// separated from its cube, so that those are the only ones scanned.
// `OutputsTester` asks it of several outputs at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/function.h"
#include "unate/containment.h"

namespace vorn {

/// \brief 1 when the cube is an implicant of output i of f (fr: meets no unseparated off-set entry; fd: covered by on-set and don't-care), else 0.
int IsImplicant(const TBoolFnct& f, const Cube& cube, int output);
/// \brief The same test on a term's input cube.
int IsImplicant(const TBoolFnct& f, const TPfnct& cube, int output);
/// \brief Sets output[i] to '1' or '0' by IsImplicant(f, cube, i) for every output i of f.
void ImplicantOutputs(const TBoolFnct& f, const Cube& cube, std::string& output);

/// The implicant test of one output, packed for repeated use.
class ImplicantTester {
 public:
  /// \brief Packs the lists of output i of f; f's lists must stay unchanged while the tester lives.
  ImplicantTester(const TBoolFnct& f, int output);

  /// \brief True when the cube is an implicant of the output, ignoring separated off-set entries.
  bool test(const Cube& cube);
  /// \brief The same for a cube packed as an input part of f's width (zero plane, then one plane).
  bool testPacked(const Word* cube);
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
  CubeList scratch_;   // the cube under test, packed (fd)
};

/// The implicant test of a set of outputs: a cube passes when it is an implicant of every one.
class OutputsTester {
 public:
  /// \brief The test for the outputs listed (f's lists must stay unchanged while the tester lives).
  OutputsTester(const TBoolFnct& f, const std::vector<int>& outputs);
  /// \brief True when the cube is an implicant of each of the outputs.
  bool test(const Cube& cube);

 private:
  std::vector<std::unique_ptr<ImplicantTester>> testers_;
};

}  // namespace vorn
