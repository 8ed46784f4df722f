#include "support/oracle.h"

#include <gtest/gtest.h>

#include "model/pla.h"

namespace vorn::test {

FunctionPtr pla(const std::string& text) {
  ReadResult r = readText(text);
  EXPECT_TRUE(r.error.empty()) << r.error;
  EXPECT_TRUE(r.function) << "no term in:\n" << text;
  return std::move(r.function);
}

bool cubeHasMinterm(const std::string& cube, std::uint64_t m) {
  const int n = static_cast<int>(cube.size());
  for (int p = 0; p < n; ++p) {
    const char bit = ((m >> (n - 1 - p)) & 1) ? '1' : '0';
    if ((cube[p] == '0' || cube[p] == '1') && cube[p] != bit) return false;
  }
  return true;
}

std::string mintermText(std::uint64_t m, int n) {
  std::string s(n, '0');
  for (int p = 0; p < n; ++p) s[p] = ((m >> (n - 1 - p)) & 1) ? '1' : '0';
  return s;
}

std::string evaluate(const TBoolFnct& f, std::uint64_t m) {
  std::string out(f.outputCount, '-');
  for (const TPfnct* t = f.head.get(); t; t = t->next.get()) {
    if (!cubeHasMinterm(t->input.str(), m)) continue;
    for (int j = 0; j < f.outputCount; ++j) {
      const char c = t->output[j];
      if (c == '1') out[j] = '1';
      if (c == '0' && f.type == kTypeFr && out[j] == '-') out[j] = '0';
    }
  }
  return out;
}

FunctionPtr randomFr(std::uint32_t seed, int inputs, int outputs, int dcPercent) {
  std::mt19937 rng(seed);
  const std::uint64_t count = std::uint64_t{1} << inputs;
  // table[m][j] in {'1','0','-'}
  std::vector<std::string> table(count, std::string(outputs, '0'));
  for (auto& row : table)
    for (char& c : row) {
      const int r = static_cast<int>(rng() % 100);
      c = r < dcPercent ? '-' : (r % 2 ? '1' : '0');
    }
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  // Merge pairs of minterms that differ in one input and agree on every output
  // into one cube, so that the source has cubes of several sizes.
  std::vector<bool> used(count, false);
  for (std::uint64_t m = 0; m < count; ++m) {
    if (used[m]) continue;
    used[m] = true;
    std::string cube = mintermText(m, inputs);
    if (inputs > 0 && rng() % 2) {
      const int p = static_cast<int>(rng() % inputs);
      const std::uint64_t other = m ^ (std::uint64_t{1} << (inputs - 1 - p));
      if (!used[other] && table[other] == table[m]) {
        used[other] = true;
        cube[p] = '-';
      }
    }
    std::string out = table[m];
    for (char& c : out)
      if (c == '-') c = '~';
    text += cube + " " + out + "\n";
  }
  text += ".e\n";
  return pla(text);
}

}  // namespace vorn::test

namespace vorn::test {

PlainFunction plain(const TBoolFnct& f) {
  PlainFunction p;
  p.inputs = f.inputCount;
  p.outputs = f.outputCount;
  p.type = typeName(f.type);
  forEachTerm(f, [&](const TPfnct& t) {
    p.in.push_back(t.input.str());
    std::string o = t.output;
    o.resize(f.outputCount, '~');
    p.out.push_back(o);
  });
  return p;
}

std::string checkCover(const TBoolFnct& source, const TBoolFnct& result) {
  return checkCover(plain(source), plain(result));
}

}  // namespace vorn::test
