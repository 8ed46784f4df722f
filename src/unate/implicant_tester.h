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
//
// `ImplicantTest` is the same question asked of any output of a function held
// as packed cube sets, as the refinement asks it while terms grow and move
// between outputs: `OffSetTest` against an explicit off-set (each cube with
// its outputs, and per output its cubes), `InsideTest` against the on-set and
// don't-care terms per output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/bits.h"
#include "model/function.h"
#include "unate/containment.h"
#include "unate/meet_index.h"

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

/// Decides whether a packed cube may carry an output of a function.
class ImplicantTest {
 public:
  virtual ~ImplicantTest() = default;
  /// \brief True when the packed cube may carry output j.
  virtual bool allowed(const Word* cube, int output) const = 0;
  /// \brief Adds to `out` every output below `outputs` that the packed cube may not carry.
  virtual void forbidden(const Word* cube, int outputs, BitSet& out) const;
  /// \brief The explicit off-set's cubes when the test decides by them, else null.
  virtual const CubeList* offCubes() const { return nullptr; }
};

/// \brief Adds to `out` the outputs (`outputs[r]` for cube r) of every cube of `cubes`, indexed by
/// `index`, that meets the packed cube.
void outputsMet(const CubeList& cubes, const MeetIndex& index, const std::vector<BitSet>& outputs,
                const Word* cube, BitSet& out);

/// The test against an explicit off-set: a cube fits an output when it meets none of its off-set cubes.
class OffSetTest : public ImplicantTest {
 public:
  /// \brief The off-set `cubes`, their outputs, per output the indices of its cubes in term order, and
  /// their meet index; all must outlive the test.
  OffSetTest(const CubeList& cubes, const std::vector<BitSet>& outputs, const std::vector<std::vector<int>>& of,
             const MeetIndex& index)
      : cubes_(cubes), outputs_(outputs), of_(of), index_(index) {}
  bool allowed(const Word* cube, int output) const override;
  void forbidden(const Word* cube, int outputs, BitSet& out) const override;
  const CubeList* offCubes() const override { return &cubes_; }

 private:
  const CubeList& cubes_;
  const std::vector<BitSet>& outputs_;
  const std::vector<std::vector<int>>& of_;
  const MeetIndex& index_;
};

/// The test without an off-set (an fd function): a cube may carry output j when it lies inside the
/// on-set and don't-care set of j, decided by a tautology check of their cofactor by the cube.
class InsideTest : public ImplicantTest {
 public:
  /// \brief The on-set and don't-care cubes of f per output; output j alone (as output 0) when `only` is j.
  explicit InsideTest(const TBoolFnct& f, int only = -1);
  bool allowed(const Word* cube, int output) const override;

 private:
  std::vector<CubeList> inside_;
  mutable ContainmentCheck check_;
};

}  // namespace vorn
