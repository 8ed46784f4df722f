// What the refinement works on: the source's on-set and off-set cubes with
// the outputs they belong to, the cover being improved, and the test that
// decides whether a cube may carry an output (unate/implicant_tester.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/function.h"
#include "model/literal_columns.h"
#include "refine/output_set.h"
#include "unate/cube_list.h"
#include "unate/implicant_tester.h"
#include "unate/meet_index.h"

namespace vorn {

/// Cubes, each with the outputs it belongs to, and per output the cubes that belong to it.
struct CubeSet {
  CubeList cubes;
  std::vector<OutputSet> outputs;
  std::vector<std::vector<int>> of;  ///< per output: indices into cubes, in term order
  MeetIndex index;                   ///< which cubes meet a given one (built once the cubes are in)
  /// The cubes column-wise and, per output, the cubes that belong to it as a bit span; empty when
  /// they would not fit in memory (the steps then ask the cubes one by one).
  LiteralColumns columns;
  std::vector<std::vector<std::uint64_t>> ofBits;
  bool minterms = false;  ///< every cube is a minterm (set by buildIndexes)
  /// \brief True when `columns` and `ofBits` are there.
  bool hasColumns() const { return !ofBits.empty(); }
  /// \brief Builds `index`, `columns` and `ofBits` for the cubes as they are now.
  void buildIndexes();
};

/// An fr source as two cube sets: the on-set ('1') and the off-set ('0') of every output.
struct RefineSource {
  int inputs = 0;
  int outputs = 0;
  CubeSet on, off;
};

/// \brief The on-set and off-set of the fr function f.  Output j alone when `only` is j.
RefineSource MakeSource(const TBoolFnct& f, int only = -1);

/// A cover under refinement: packed input parts, output sets, and a liveness flag per term.
struct Cover {
  CubeList in;
  std::vector<OutputSet> out;
  std::vector<char> alive;

  int size() const { return in.size(); }
  /// \brief Appends a live term.
  void add(const std::uint64_t* packed, const OutputSet& outputs);
  /// \brief Drops the terms that are not alive, keeping the others in order.
  void compact();
  /// \brief Number of live terms.
  int liveCount() const;
  /// \brief Number of literals of term k.
  int literals(int k) const { return bits::countBits(in.cube(k), 2 * in.words()); }
};

/// \brief Adds to `out` the outputs of every cube of `set` that meets the packed cube.
void outputsMet(const CubeSet& set, const std::uint64_t* cube, OutputSet& out);

/// \brief The terms of f with their '1' outputs as a cover over the source's outputs; output j
/// alone (as output 0) when `only` is j.  Terms without a connection are left out.
Cover CoverOf(const TBoolFnct& f, int inputs, int outputs, int only = -1);

/// \brief The test against the explicit off-set `off`, which must outlive it.
OffSetTest OffSetTestOf(const CubeSet& off);

/// \brief The source's off-set when `test` decides by it (expansion then works on its blocking sets),
/// else null.
const CubeSet* ExplicitOffSet(const RefineSource& source, const ImplicantTest& test);

/// \brief The outputs beyond `mine` that the packed cube may carry and whose on-set it meets: those an
/// expanded term takes on.
OutputSet OutputsToRaise(const RefineSource& source, const ImplicantTest& test, const std::uint64_t* cube,
                         const OutputSet& mine);

/// \brief The test that suits f: against its off-set (fr), or inside on-set and don't-care set (fd).
std::unique_ptr<ImplicantTest> MakeImplicantTest(const TBoolFnct& f, const RefineSource& source, int only = -1);

}  // namespace vorn
