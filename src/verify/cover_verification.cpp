#include "verify/cover_verification.h"

#include "unate/cofactor.h"
#include "unate/containment.h"
#include "unate/cube_list.h"
#include "unate/tautology.h"

namespace vorn {

namespace {

/// The input cubes of the terms of f with one of `chars` at output j.
CubeList cubesAt(const TBoolFnct& f, int j, const char* chars) {
  CubeList list(f.inputCount);
  const std::string_view wanted(chars);
  forEachTerm(f, [&](const TPfnct& t) {
    if (wanted.find(outputAt(t, j)) != std::string_view::npos) list.push(t.input);
  });
  return list;
}

std::string outputName(const TBoolFnct& f, int j) {
  return f.outputLabels && j < static_cast<int>(f.outputLabels->size()) ? (*f.outputLabels)[j] : std::to_string(j);
}

/// The first cube of `ones` meeting a cube of `off`, or -1.
int firstMeeting(const CubeList& ones, const CubeList& off) {
  for (int k = 0; k < ones.size(); ++k)
    for (int o = 0; o < off.size(); ++o)
      if (cubesMeet(ones.cube(k), off.cube(o), ones.words())) return k;
  return -1;
}

/// The first cube of `cubes` not inside the union of `cover`, or -1.
int firstOutside(const CubeList& cubes, const CubeList& cover, ContainmentCheck& check) {
  for (int k = 0; k < cubes.size(); ++k)
    if (!check.covered(cubes.cube(k), cover)) return k;
  return -1;
}

std::string faultAt(const TBoolFnct& source, const TBoolFnct& result, int j, ContainmentCheck& check) {
  const int type = source.type;
  const CubeList ones = cubesAt(result, j, "1");
  const std::string where = "output " + outputName(source, j) + ": ";
  if (typeHasOff(type)) {
    const int k = firstMeeting(ones, cubesAt(source, j, "0"));
    if (k >= 0) return where + "the result's cube " + ones.get(k).str() + " meets the off-set";
  } else {
    const int k = firstOutside(ones, cubesAt(source, j, typeHasDc(type) ? "1-" : "1"), check);
    if (k >= 0) return where + "the result's cube " + ones.get(k).str() + " leaves the on-set and don't-care set";
  }
  if (typeHasOn(type)) {
    const CubeList on = cubesAt(source, j, "1");
    const int k = firstOutside(on, ones, check);
    if (k >= 0) return where + "the on-set cube " + on.get(k).str() + " is not covered";
    return "";
  }
  // The on-set is the rest of the off-set: off-set and result together must be the whole space.
  CubeList all = cubesAt(source, j, "0");
  for (int k = 0; k < ones.size(); ++k) all.push(ones.cube(k));
  if (!TautologyPacked(all.raw().data(), all.size(), all.words()))
    return where + "the on-set (the rest of the off-set) is not covered";
  return "";
}

}  // namespace

std::string FindCoverFault(const TBoolFnct& source, const TBoolFnct& result) {
  ContainmentCheck check(source.inputCount);
  for (int j = 0; j < source.outputCount; ++j)
    if (std::string fault = faultAt(source, result, j, check); !fault.empty()) return fault;
  return "";
}

}  // namespace vorn
