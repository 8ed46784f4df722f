// Splitting into minterms.
//
// Minterm m is written most significant bit first: position I-1 holds its
// lowest bit.  Each minterm's output part follows from the terms containing
// it: fd ORs their '1's; fr takes their characters other than '~' and fails
// when two of them differ.  f reads like fd and fdr like fr (the '-' of a
// don't-care term is kept); r starts every output at '1' and puts '0' where
// a term has '0', since its on-set is what the off-set leaves.
//
// The scan visits every term for each of the 2^I minterms, so the terms are
// first packed into one cube list: a term contains the minterm exactly when
// its planes are a subset of the minterm's, two word operations.  The scan
// itself allocates nothing; only the appended terms do.
#include "modes/minterms.h"

#include <cmath>
#include <cstdint>
#include <vector>


namespace vorn {

namespace {

bool knownType(int type) { return type >= kTypeFd && type <= kTypeR; }

/// The output character of a minterm no term contains.
char startOutput(int type) { return type == kTypeFd || type == kTypeF ? '0' : type == kTypeR ? '1' : '~'; }

/// Adds the term's outputs to the minterm's output part; false on an fr conflict.
bool addOutputs(int type, const std::string& termOut, std::string& out) {
  const int outputs = static_cast<int>(out.size());
  for (int j = 0; j < outputs; ++j) {
    const char c = j < static_cast<int>(termOut.size()) ? termOut[j] : '~';
    if (type == kTypeFd || type == kTypeF) {
      if (c == '1') out[j] = '1';
    } else if (type == kTypeR) {
      if (c == '0') out[j] = '0';
    } else {
      if (c == '~') continue;
      if (out[j] != '~' && out[j] != c) return false;
      out[j] = c;
    }
  }
  return true;
}

}  // namespace

int MintermOutputs(const TBoolFnct& f, const Cube& minterm, std::string& out) {
  if (!knownType(f.type)) return 0;
  out.assign(f.outputCount, startOutput(f.type));
  for (const TPfnct* t = f.head.get(); t; t = t->next.get())
    if (cubeContains(t->input.data(), minterm.data(), minterm.words()) && !addOutputs(f.type, t->output, out)) return 0;
  return 1;
}

FunctionPtr SplitIntoMinterms(TBoolFnct& f, const ProgressHooks& progress) {
  const int n = f.inputCount;
  if (n < 0 || n >= kMaxMintermInputs || !knownType(f.type)) return nullptr;
  FunctionPtr r = derive(f);
  CubeList inputs(n);
  std::vector<const std::string*> outputs;
  forEachTerm(f, [&](const TPfnct& t) {
    inputs.push(t.input);
    outputs.push_back(&t.output);
  });
  const std::int64_t count = static_cast<std::int64_t>(std::pow(2.0, n));
  progress.begin("Splitting into minterms...", static_cast<int>(count), 1);
  Cube cube(n, '0');
  std::string out;
  for (std::int64_t m = 0; m < count; ++m) {
    const std::uint32_t number = static_cast<std::uint32_t>(m);
    // Counting up changes the lowest bits only: rewrite positions from the end while they change.
    for (int pos = n - 1; pos >= 0; --pos) {
      const char c = (number >> (n - 1 - pos)) & 1 ? '1' : '0';
      if (cube.get(pos) == c) break;
      cube.set(pos, c);
    }
    out.assign(f.outputCount, startOutput(f.type));
    for (int k = 0; k < inputs.size(); ++k)
      if (cubeContains(inputs.cube(k), cube.data(), cube.words()) && !addOutputs(f.type, *outputs[k], out)) {
        progress.end();
        return nullptr;
      }
    appendTerm(*r, cube, out, 0);
    progress.step(static_cast<int>(m), 1);
  }
  progress.end();
  return r;
}

}  // namespace vorn
