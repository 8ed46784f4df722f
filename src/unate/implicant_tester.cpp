// The implicant test (see implicant_tester.h).  The fr test is a scan for an off-set entry that meets the
// cube; the fd test asks whether the on-set and don't-care entries together
// contain the cube (a tautology of their cofactor, unate/containment.h).
// The tests of any output (ImplicantTest) ask the same of packed cube sets.
#include "unate/implicant_tester.h"

#include <algorithm>

namespace vorn {

namespace {

bool validOutput(const TBoolFnct& f, int output) {
  return f.indexed && output >= 0 && output < f.outputCount && output < static_cast<int>(f.onLists.size());
}

/// The on-set and don't-care entries of output i, packed.
CubeList allowedCubes(const TBoolFnct& f, int output) {
  CubeList allowed = packInputs(f.onLists[output], f.inputCount);
  for (const ListEntry& e : f.dcLists[output]) allowed.push(e.input());
  return allowed;
}

}  // namespace

int IsImplicant(const TBoolFnct& f, const Cube& cube, int output) {
  if (!validOutput(f, output)) return 0;
  if (f.type == kTypeFr) {
    for (const ListEntry& e : f.offLists[output])
      if (!e.separated && cube.intersects(e.input())) return 0;
    return 1;
  }
  if (f.type == kTypeFd) return CubeCovered(cube, allowedCubes(f, output)) ? 1 : 0;
  return 0;
}

int IsImplicant(const TBoolFnct& f, const TPfnct& cube, int output) { return IsImplicant(f, cube.input, output); }

void ImplicantOutputs(const TBoolFnct& f, const Cube& cube, std::string& output) {
  const int m = f.outputCount;
  output.resize(static_cast<std::size_t>(std::max(m, 0)), '0');
  // Up to 64 inputs a meet is one word test, no dearer than the look-up.
  if (f.type != kTypeFr || !f.indexed || static_cast<int>(f.offLists.size()) < m || bits::wordsFor(f.inputCount) <= 1) {
    for (int k = 0; k < m; ++k) output[static_cast<std::size_t>(k)] = IsImplicant(f, cube, k) ? '1' : '0';
    return;
  }
  enum : char { kUnknown, kMeets, kApart };
  std::vector<char> meets(f.listCubes.size(), kUnknown);
  auto meetsTerm = [&](int term) {
    char& known = meets[static_cast<std::size_t>(term)];
    if (known == kUnknown) known = cube.intersects(f.listCubes[static_cast<std::size_t>(term)]) ? kMeets : kApart;
    return known == kMeets;
  };
  for (int k = 0; k < m; ++k) {
    const TermList& off = f.offLists[static_cast<std::size_t>(k)];
    const bool blocked =
        std::any_of(off.begin(), off.end(), [&](const ListEntry& e) { return !e.separated && meetsTerm(e.term); });
    output[static_cast<std::size_t>(k)] = blocked ? '0' : '1';
  }
}

ImplicantTester::ImplicantTester(const TBoolFnct& f, int output)
    : type_(validOutput(f, output) ? f.type : -1), words_(bits::wordsFor(f.inputCount)) {
  if (type_ == kTypeFr) {
    off_ = packInputs(f.offLists[output], f.inputCount);
    unseparateAll();
  } else if (type_ == kTypeFd) {
    allowed_ = allowedCubes(f, output);
    check_ = std::make_unique<ContainmentCheck>(f.inputCount);
    scratch_ = CubeList(f.inputCount);
    scratch_.grow();
  }
}

bool ImplicantTester::test(const Cube& cube) {
  if (type_ == kTypeFr) return firstMeeting(live_.raw().data(), live_.size(), live_.stride(), cube.data(), words_) < 0;
  if (type_ == kTypeFd) {
    packCube(cube, words_, scratch_.cube(0));
    return check_->covered(scratch_.cube(0), allowed_);
  }
  return false;
}

bool ImplicantTester::testPacked(const Word* cube) {
  if (type_ == kTypeFr) return firstMeeting(live_.raw().data(), live_.size(), live_.stride(), cube, words_) < 0;
  if (type_ == kTypeFd) return check_->covered(cube, allowed_);
  return false;
}

void ImplicantTester::separate(int p, bool value) {
  // an entry holding the opposite literal at p can no longer meet the cube
  if (type_ == kTypeFr) live_.keepIf([&](const Word* e) { return meetsLiteral(e, words_, p, value); });
}

void ImplicantTester::unseparateAll() {
  if (type_ == kTypeFr) live_ = off_;
}

OutputsTester::OutputsTester(const TBoolFnct& f, const std::vector<int>& outputs) {
  for (int j : outputs) testers_.push_back(std::make_unique<ImplicantTester>(f, j));
}

bool OutputsTester::test(const Cube& cube) {
  for (auto& tester : testers_)
    if (!tester->test(cube)) return false;
  return true;
}

void ImplicantTest::forbidden(const Word* cube, int outputs, BitSet& out) const {
  for (int j = 0; j < outputs; ++j)
    if (!allowed(cube, j)) out.set(j);
}

void outputsMet(const CubeList& cubes, const MeetIndex& index, const std::vector<BitSet>& outputs,
                const Word* cube, BitSet& out) {
  std::vector<int> met;
  index.meeting(cubes, cube, met);
  for (int r : met) out.unite(outputs[static_cast<std::size_t>(r)]);
}

bool OffSetTest::allowed(const Word* cube, int output) const {
  const int words = cubes_.words();
  for (int r : of_[static_cast<std::size_t>(output)])
    if (cubesMeet(cube, cubes_.cube(r), words)) return false;
  return true;
}

void OffSetTest::forbidden(const Word* cube, int, BitSet& out) const { outputsMet(cubes_, index_, outputs_, cube, out); }

InsideTest::InsideTest(const TBoolFnct& f, int only) : check_(f.inputCount) {
  inside_.assign(only >= 0 ? 1 : static_cast<std::size_t>(f.outputCount), CubeList(f.inputCount));
  forEachTerm(f, [&](const TPfnct& t) {
    for (int j = 0; j < f.outputCount; ++j) {
      if (only >= 0 && j != only) continue;
      const char c = outputAt(t, j);
      if (c == '1' || c == '-') inside_[static_cast<std::size_t>(only >= 0 ? 0 : j)].push(t.input);
    }
  });
}

bool InsideTest::allowed(const Word* cube, int output) const {
  return check_.covered(cube, inside_[static_cast<std::size_t>(output)]);
}

}  // namespace vorn
