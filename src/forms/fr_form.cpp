// Building the fr form.  The given terms come first with the characters that
// carry meaning in the fr reading ('1' on, '0' off, '~' for the rest), then
// the computed cubes.  A computed cube that several outputs share becomes one
// term with all of them, as in a hand-written fr file, so that the off-set
// scans and FC-Min's grouping see each cube once.
#include "forms/fr_form.h"

#include <chrono>
#include <unordered_map>
#include <utility>
#include <vector>

#include "unate/cube_list.h"

namespace vorn {

namespace {

/// Per output, the cubes of the terms whose character there is `c`.
std::vector<CubeList> cubesWith(const TBoolFnct& f, char c) {
  std::vector<CubeList> lists(static_cast<std::size_t>(f.outputCount), CubeList(f.inputCount));
  forEachTerm(f, [&](const TPfnct& t) {
    for (int j = 0; j < f.outputCount; ++j)
      if (outputAt(t, j) == c) lists[static_cast<std::size_t>(j)].push(t.input);
  });
  return lists;
}

FunctionPtr emptyLike(const TBoolFnct& f, int type) {
  FunctionPtr g = create(f.inputCount, f.outputCount, 0, type);
  g->inputLabels = f.inputLabels;
  g->outputLabels = f.outputLabels;
  return g;
}

/// The given terms with the characters of `keep` kept and every other one made '~'; terms left
/// without any kept character are dropped.
void appendGiven(const TBoolFnct& f, TBoolFnct& g, const char* keep) {
  const std::string_view kept(keep);
  std::string out;
  forEachTerm(f, [&](const TPfnct& t) {
    out.assign(static_cast<std::size_t>(f.outputCount), '~');
    bool any = false;
    for (int j = 0; j < f.outputCount; ++j) {
      const char c = outputAt(t, j);
      if (kept.find(c) == std::string_view::npos) continue;
      out[static_cast<std::size_t>(j)] = c;
      any = true;
    }
    if (any) appendTerm(g, t.input, out, t.input.countDashes());
  });
}

/// Terms for per-output computed cubes, equal cubes folded into one term carrying `c` at each of its outputs.
void appendComputed(TBoolFnct& g, const std::vector<CubeList>& perOutput, char c) {
  std::unordered_map<Cube, std::size_t, CubeHash> at;
  std::vector<std::pair<Cube, std::string>> terms;
  for (std::size_t j = 0; j < perOutput.size(); ++j)
    for (int k = 0; k < perOutput[j].size(); ++k) {
      Cube cube = perOutput[j].get(k);
      auto [it, fresh] = at.emplace(cube, terms.size());
      if (fresh) terms.emplace_back(std::move(cube), std::string(perOutput.size(), '~'));
      terms[it->second].second[j] = c;
    }
  for (const auto& [cube, out] : terms) appendTerm(g, cube, out, cube.countDashes());
}

/// Per output, the complement of the union of a's and b's cubes; false past the bounds.
bool complementEach(const std::vector<CubeList>& a, const std::vector<CubeList>* b, const FrFormParams& params,
                    FrFormStats& stats, std::vector<CubeList>& out) {
  out.resize(a.size());
  for (std::size_t j = 0; j < a.size(); ++j) {
    CubeList given = a[j];
    if (b)
      for (int k = 0; k < (*b)[j].size(); ++k) given.push((*b)[j].cube(k));
    if (!Complement(given, out[j], params.complement, stats.complement)) return false;
    stats.computedCubes += out[j].size();
    if (stats.computedCubes > params.maxCubes) return false;
  }
  return true;
}

}  // namespace

FunctionPtr MakeFrForm(const TBoolFnct& f, const FrFormParams& params, FrFormStats& stats) {
  const auto start = std::chrono::steady_clock::now();
  stats = FrFormStats{};
  FunctionPtr g = emptyLike(f, kTypeFr);
  std::vector<CubeList> computed;
  bool ok = true;
  switch (f.type) {
    case kTypeFr:
    case kTypeFdr:  // on-set and off-set are given; the rest is don't-care
      appendGiven(f, *g, "10");
      break;
    case kTypeR:  // the on-set is what the off-set leaves
      ok = complementEach(cubesWith(f, '0'), nullptr, params, stats, computed);
      if (ok) {
        appendComputed(*g, computed, '1');
        appendGiven(f, *g, "0");
      }
      break;
    default: {  // fd and f: the off-set is what on-set and don't-care set leave
      const std::vector<CubeList> on = cubesWith(f, '1');
      const std::vector<CubeList> dc = f.type == kTypeFd ? cubesWith(f, '-') : std::vector<CubeList>{};
      ok = complementEach(on, f.type == kTypeFd ? &dc : nullptr, params, stats, computed);
      if (ok) {
        appendGiven(f, *g, "1");
        appendComputed(*g, computed, '0');
      }
    }
  }
  stats.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  stats.complete = ok;
  if (!ok) return nullptr;
  stats.terms = g->termCount;
  return g;
}

FunctionPtr MakeFdForm(const TBoolFnct& f) {
  FunctionPtr g = emptyLike(f, kTypeFd);
  appendGiven(f, *g, f.type == kTypeFd ? "1-" : "1");
  return g;
}

}  // namespace vorn
