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
      if (c == '0' && f.type == 1 && out[j] == '-') out[j] = '0';
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

std::string checkCover(const TBoolFnct& source, const TBoolFnct& result) {
  const int n = source.inputCount, mOut = source.outputCount;
  if (result.inputCount != n || result.outputCount != mOut) return "dimensions differ";
  std::vector<std::string> srcIn, srcOut, resIn, resOut;
  for (const TPfnct* t = source.head.get(); t; t = t->next.get()) {
    srcIn.push_back(t->input.str());
    srcOut.push_back(t->output);
  }
  for (const TPfnct* t = result.head.get(); t; t = t->next.get()) {
    resIn.push_back(t->input.str());
    resOut.push_back(t->output);
  }
  auto meets = [n](const std::string& a, const std::string& b) {
    for (int p = 0; p < n; ++p)
      if ((a[p] == '0' && b[p] == '1') || (a[p] == '1' && b[p] == '0')) return false;
    return true;
  };
  // No result term with '1' at j meets an off-set term of j.
  for (std::size_t r = 0; r < resIn.size(); ++r)
    for (int j = 0; j < mOut; ++j) {
      if (resOut[r][j] != '1') continue;
      for (std::size_t s = 0; s < srcIn.size(); ++s)
        if (srcOut[s][j] == '0' && meets(resIn[r], srcIn[s]))
          return "term " + resIn[r] + " has 1 at output " + std::to_string(j) + " but meets off-set term " + srcIn[s];
    }
  // Every on-set term of j lies in the union of result terms with '1' at j:
  // split the on-set cube by every such term and see that nothing is left.
  for (std::size_t s = 0; s < srcIn.size(); ++s)
    for (int j = 0; j < mOut; ++j) {
      if (srcOut[s][j] != '1') continue;
      std::vector<std::string> rest{srcIn[s]};
      for (std::size_t r = 0; r < resIn.size() && !rest.empty(); ++r) {
        if (resOut[r][j] != '1') continue;
        std::vector<std::string> next;
        for (const std::string& piece : rest) {
          if (!meets(piece, resIn[r])) {
            next.push_back(piece);
            continue;
          }
          std::string inside = piece;
          for (int p = 0; p < n; ++p) {
            if (piece[p] != '-' || resIn[r][p] == '-') continue;
            std::string outside = inside;
            outside[p] = resIn[r][p] == '0' ? '1' : '0';
            next.push_back(outside);
            inside[p] = resIn[r][p];
          }
        }
        rest.swap(next);
      }
      if (!rest.empty())
        return "on-set term " + srcIn[s] + " of output " + std::to_string(j) + " is not covered (e.g. " + rest[0] + ")";
    }
  return "";
}

}  // namespace vorn::test
