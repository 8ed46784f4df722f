#include "fuzz/truth_table.h"

#include <cstdint>

namespace vorn::test {

namespace {

bool holds(const std::string& cube, std::uint32_t m) {
  const int n = static_cast<int>(cube.size());
  for (int p = 0; p < n; ++p) {
    const char bit = (m >> (n - 1 - p)) & 1u ? '1' : '0';
    if ((cube[p] == '0' || cube[p] == '1') && cube[p] != bit) return false;
    if (cube[p] == '~') return false;  // no meaning: refused by the program, contains nothing here
  }
  return true;
}

std::string minterm(std::uint32_t m, int n) {
  std::string s;
  for (int p = n - 1; p >= 0; --p) s += (m >> p) & 1u ? '1' : '0';
  return s;
}

/// What a term's character says of a minterm it holds, by type: 'o' on, 'f' off, 'd' don't-care, 0 nothing.
char says(const std::string& type, char c) {
  if (type == "r") return c == '0' ? 'f' : 0;
  if (c == '1') return 'o';
  if (c == '0' && (type == "fr" || type == "fdr")) return 'f';
  if (c == '-' && (type == "fd" || type == "fdr")) return 'd';
  return 0;
}

}  // namespace

std::vector<std::string> truthTable(const PlainFunction& f) {
  const std::uint32_t count = 1u << f.inputs;
  // What no term speaks for: off in f and fd, on in r, don't-care in fr and fdr.
  const bool restOff = f.type == "f" || f.type == "fd", restOn = f.type == "r";
  std::vector<std::string> table(count, std::string(static_cast<std::size_t>(f.outputs), '.'));
  for (std::size_t t = 0; t < f.in.size(); ++t)
    for (std::uint32_t m = 0; m < count; ++m) {
      if (!holds(f.in[t], m)) continue;
      for (int j = 0; j < f.outputs; ++j) {
        const char s = says(f.type, f.out[t][static_cast<std::size_t>(j)]);
        char& v = table[m][static_cast<std::size_t>(j)];
        if (s == 'o') v = v == '0' || v == 'X' ? 'X' : '1';
        if (s == 'f') v = v == '1' || v == 'X' ? 'X' : '0';
        if (s == 'd' && v == '.') v = 'd';
      }
    }
  for (std::string& row : table)
    for (char& v : row) {
      // In fd a don't-care term makes the point free; in fdr, on or off wins over it.
      if (v == '.') v = restOff ? '0' : restOn ? '1' : '-';
      if (v == 'd') v = '-';
    }
  return table;
}

std::string coverTableFault(const PlainFunction& source, const PlainFunction& result) {
  if (source.inputs != result.inputs || source.outputs != result.outputs) return "dimensions differ";
  if (source.inputs > kMaxTableInputs) return "";
  const std::vector<std::string> want = truthTable(source);
  PlainFunction cover = result;
  cover.type = "f";  // a written cover: its '1's alone say where it is on
  const std::vector<std::string> got = truthTable(cover);
  for (std::uint32_t m = 0; m < want.size(); ++m)
    for (int j = 0; j < source.outputs; ++j) {
      const char w = want[m][static_cast<std::size_t>(j)], g = got[m][static_cast<std::size_t>(j)];
      if (w == '1' && g != '1') return "on-set point " + minterm(m, source.inputs) + " of output " + std::to_string(j) + " not covered";
      if (w == '0' && g == '1') return "off-set point " + minterm(m, source.inputs) + " of output " + std::to_string(j) + " covered";
    }
  return "";
}

std::string sameTableFault(const PlainFunction& a, const PlainFunction& b, bool closesDontCares) {
  if (a.inputs != b.inputs || a.outputs != b.outputs) return "dimensions differ";
  if (a.inputs > kMaxTableInputs) return "";
  const std::vector<std::string> x = truthTable(a), y = truthTable(b);
  for (std::uint32_t m = 0; m < x.size(); ++m)
    for (int j = 0; j < a.outputs; ++j) {
      const char p = x[m][static_cast<std::size_t>(j)], q = y[m][static_cast<std::size_t>(j)];
      if (closesDontCares && p == '-' && q == '0') continue;
      if ((p == '1' || p == '0' || q == '1' || q == '0') && p != q)
        return "point " + minterm(m, a.inputs) + " of output " + std::to_string(j) + ": " + p + " became " + q;
    }
  return "";
}

std::string disjointFault(const PlainFunction& f) {
  for (std::size_t t = 0; t < f.in.size(); ++t)
    for (std::size_t u = t + 1; u < f.in.size(); ++u) {
      bool meet = true;
      for (std::size_t p = 0; p < f.in[t].size() && meet; ++p) {
        const char a = f.in[t][p], b = f.in[u][p];
        meet = !((a == '0' && b == '1') || (a == '1' && b == '0'));
      }
      if (meet) return "terms " + f.in[t] + " and " + f.in[u] + " meet";
    }
  return "";
}

}  // namespace vorn::test
