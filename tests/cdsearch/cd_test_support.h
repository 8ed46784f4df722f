// Helpers of the CD step tests: a minterm oracle for implicants (fr and fd),
// random fd functions, and a scoped run state in a context.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/function.h"
#include "model/run_context.h"
#include "model/run_state.h"
#include "support/oracle.h"

namespace vorn::test {

/// \brief By minterms: the cube is an implicant of output k of src (fr: meets no '0' term; fd: inside the '1' and '-' terms).
inline bool oracleImplicant(const TBoolFnct& src, const std::string& cube, int k) {
  const int n = src.inputCount;
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << n); ++m) {
    if (!cubeHasMinterm(cube, m)) continue;
    bool offHit = false, onOrDc = false;
    forEachTerm(src, [&](const TPfnct& t) {
      if (!cubeHasMinterm(t.input.str(), m)) return;
      const char c = t.output[k];
      if (c == '0') offHit = true;
      if (c == '1' || c == '-') onOrDc = true;
    });
    if (src.type == kTypeFr && offHit) return false;
    if (src.type == kTypeFd && !onOrDc) return false;
  }
  return true;
}

/// \brief Character containment of cube texts.
inline bool textContains(const std::string& big, const std::string& small) {
  for (std::size_t p = 0; p < big.size(); ++p)
    if (big[p] != '-' && big[p] != small[p]) return false;
  return true;
}

/// \brief Empty when every '1' of set is a true implicant and every on-set term of src lies in a set term for its output.
inline std::string checkImplicantSet(const TBoolFnct& src, const TBoolFnct& set) {
  std::string fault;
  forEachTerm(set, [&](const TPfnct& t) {
    for (int k = 0; k < src.outputCount && fault.empty(); ++k)
      if (t.output[k] == '1' && !oracleImplicant(src, t.input.str(), k))
        fault = t.input.str() + " " + t.output + " is no implicant of output " + std::to_string(k);
  });
  forEachTerm(src, [&](const TPfnct& e) {
    for (int k = 0; k < src.outputCount && fault.empty(); ++k) {
      if (e.output[k] != '1') continue;
      bool covered = false;
      forEachTerm(set, [&](const TPfnct& t) {
        covered = covered || (t.output[k] == '1' && textContains(t.input.str(), e.input.str()));
      });
      if (!covered) fault = "on-set term " + e.input.str() + " of output " + std::to_string(k) + " is not covered";
    }
  });
  return fault;
}

/// \brief A random fd function: random cubes whose outputs are '1', '-' or '0' (nothing).
inline FunctionPtr randomFd(std::uint32_t seed, int inputs, int outputs, int terms) {
  std::mt19937 rng(seed);
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fd\n";
  for (int t = 0; t < terms; ++t) {
    std::string cube(inputs, '-'), out(outputs, '0');
    for (char& c : cube) c = "01-0"[rng() % 4];
    for (char& c : out) c = "110-"[rng() % 4];
    text += cube + " " + out + "\n";
  }
  return pla(text + ".e\n");
}

/// \brief The cube texts of a function's terms in list order.
inline std::vector<std::string> cubes(const TBoolFnct& f) {
  std::vector<std::string> v;
  forEachTerm(f, [&](const TPfnct& t) { v.push_back(t.input.str()); });
  return v;
}

/// A run state for f in the context, which it seeds (released at the end of the scope).
class RunScope {
 public:
  RunScope(TBoolFnct& f, RunContext& context, std::uint32_t seed = 1) : context_(context) {
    buildLists(f);
    state_ = createRunState(f, context.settings);
    context.state = state_.get();
    context.random.seedRandom(seed);
  }
  ~RunScope() {
    context_.state = nullptr;
    releaseRunState(std::move(state_));
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;
  TBuffers& state() { return *state_; }
  TBoolFnct& pool() { return *state_->seedCubes; }

 private:
  RunContext& context_;
  std::unique_ptr<TBuffers> state_;
};

/// \brief Appends a pool entry with all marks untried.
inline TPfnct* addPoolEntry(TBoolFnct& pool, const std::string& cube, int output) {
  TPfnct* e = appendTerm(pool, cube, std::string(cube.size(), '0'), static_cast<int>(std::count(cube.begin(), cube.end(), '-')));
  e->outputIndex = output;
  return e;
}

}  // namespace vorn::test
