#include "refine/refine_problem.h"

#include "model/packed_cube.h"

namespace vorn {

namespace {

void addTo(CubeSet& set, const TPfnct& t, const OutputSet& outs, int outputs) {
  const int index = set.cubes.size();
  set.cubes.push(t.input);
  set.outputs.push_back(outs);
  outs.forEach([&](int j) {
    if (j < outputs) set.of[static_cast<std::size_t>(j)].push_back(index);
  });
}

}  // namespace

RefineSource MakeSource(const TBoolFnct& f, int only) {
  RefineSource s;
  s.inputs = f.inputCount;
  s.outputs = only >= 0 ? 1 : f.outputCount;
  s.on.cubes = CubeList(s.inputs);
  s.off.cubes = CubeList(s.inputs);
  s.on.of.assign(static_cast<std::size_t>(s.outputs), {});
  s.off.of.assign(static_cast<std::size_t>(s.outputs), {});
  forEachTerm(f, [&](const TPfnct& t) {
    OutputSet on(s.outputs), off(s.outputs);
    for (int j = 0; j < f.outputCount; ++j) {
      if (only >= 0 && j != only) continue;
      const char c = outputAt(t, j);
      const int k = only >= 0 ? 0 : j;
      if (c == '1') on.set(k);
      if (c == '0') off.set(k);
    }
    if (on.any()) addTo(s.on, t, on, s.outputs);
    if (off.any()) addTo(s.off, t, off, s.outputs);
  });
  s.on.buildIndexes();
  s.off.buildIndexes();
  return s;
}

void CubeSet::buildIndexes() {
  index = MeetIndex(cubes);
  ofBits.clear();
  minterms = true;
  for (int k = 0; k < cubes.size() && minterms; ++k) minterms = cubeLiterals(cubes.cube(k), cubes.words()) == cubes.inputs();
  const std::size_t blocks = (static_cast<std::size_t>(cubes.size()) + 63) / 64;
  if (!LiteralColumns::fits(cubes.inputs(), cubes.size()) ||
      !LiteralColumns::fits(static_cast<int>(of.size() + 1) / 2, cubes.size()))
    return;
  columns = LiteralColumns(cubes);
  ofBits.assign(of.size(), std::vector<std::uint64_t>(blocks, 0));
  for (std::size_t j = 0; j < of.size(); ++j)
    for (int r : of[j]) bitspan::set(ofBits[j].data(), r);
}

void Cover::add(const std::uint64_t* packed, const OutputSet& outputs) {
  in.push(packed);
  out.push_back(outputs);
  alive.push_back(1);
}

void Cover::compact() {
  Cover kept;
  kept.in = CubeList(in.inputs());
  for (int k = 0; k < size(); ++k)
    if (alive[static_cast<std::size_t>(k)] && out[static_cast<std::size_t>(k)].any()) kept.add(in.cube(k), out[static_cast<std::size_t>(k)]);
  *this = std::move(kept);
}

int Cover::liveCount() const {
  int n = 0;
  for (int k = 0; k < size(); ++k) n += alive[static_cast<std::size_t>(k)] && out[static_cast<std::size_t>(k)].any();
  return n;
}

Cover CoverOf(const TBoolFnct& f, int inputs, int outputs, int only) {
  Cover c;
  c.in = CubeList(inputs);
  std::vector<std::uint64_t> packed(c.in.stride());
  forEachTerm(f, [&](const TPfnct& t) {
    OutputSet o(outputs);
    for (int j = 0; j < f.outputCount; ++j) {
      if (only >= 0 && j != only) continue;
      if (outputAt(t, j) == '1') o.set(only >= 0 ? 0 : j);
    }
    if (!o.any()) return;
    packCube(t.input, c.in.words(), packed.data());
    c.add(packed.data(), o);
  });
  return c;
}

void outputsMet(const CubeSet& set, const std::uint64_t* cube, OutputSet& out) {
  outputsMet(set.cubes, set.index, set.outputs, cube, out);
}

OffSetTest OffSetTestOf(const CubeSet& off) { return OffSetTest(off.cubes, off.outputs, off.of, off.index); }

const CubeSet* ExplicitOffSet(const RefineSource& source, const ImplicantTest& test) {
  return test.offCubes() == &source.off.cubes ? &source.off : nullptr;
}

OutputSet OutputsToRaise(const RefineSource& source, const ImplicantTest& test, const std::uint64_t* cube,
                         const OutputSet& mine) {
  OutputSet gain(source.outputs), blocked(source.outputs);
  // A cube carrying every output has none to raise: the on-set need not be read.
  if (mine.count() == source.outputs) return gain;
  outputsMet(source.on, cube, gain);
  gain.remove(mine);
  if (!gain.any()) return gain;
  test.forbidden(cube, source.outputs, blocked);
  gain.remove(blocked);
  return gain;
}

std::unique_ptr<ImplicantTest> MakeImplicantTest(const TBoolFnct& f, const RefineSource& source, int only) {
  if (f.type == kTypeFd) return std::make_unique<InsideTest>(f, only);
  return std::make_unique<OffSetTest>(OffSetTestOf(source.off));
}

}  // namespace vorn
