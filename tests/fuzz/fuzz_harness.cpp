// The fuzz harness: case generators, the subprocess runner with a time limit,
// the judge and the shrinker.  The judge trusts as little of the program as it
// can: the written result is parsed here, validity is decided by enumerating
// minterms, and the library's reader (the only library code used) is
// cross-checked against the generator's own terms for well-formed cases.
#include "fuzz/fuzz_harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "model/pla.h"

namespace vorn::fuzz {

namespace {

// ---------------------------------------------------------------- randomness

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : g_(seed * 0x9E3779B97F4A7C15ull + 12345) {}
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(g_() % static_cast<std::uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  template <class T>
  const T& pick(const std::vector<T>& v) { return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))]; }
  template <class T>
  void shuffle(std::vector<T>& v) {
    for (std::size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[static_cast<std::size_t>(below(static_cast<int>(i)))]);
  }

 private:
  std::mt19937_64 g_;
};

// ---------------------------------------------------------------- plain functions

struct Plain {
  int inputs = 0, outputs = 0, type = kTypeFd;
  std::vector<std::string> in, out;
};

bool contains(const std::string& cube, std::uint32_t m) {
  const int n = static_cast<int>(cube.size());
  for (int p = 0; p < n; ++p) {
    const char bit = ((m >> (n - 1 - p)) & 1u) ? '1' : '0';
    if ((cube[p] == '0' || cube[p] == '1') && cube[p] != bit) return false;
  }
  return true;
}

std::string mintermText(std::uint32_t m, int n) {
  std::string s(static_cast<std::size_t>(n), '0');
  for (int p = 0; p < n; ++p) s[static_cast<std::size_t>(p)] = ((m >> (n - 1 - p)) & 1u) ? '1' : '0';
  return s;
}

bool cubesMeet(const std::string& a, const std::string& b) {
  for (std::size_t p = 0; p < a.size() && p < b.size(); ++p)
    if ((a[p] == '0' || a[p] == '1') && (b[p] == '0' || b[p] == '1') && a[p] != b[p]) return false;
  return true;
}

/// The function as the library's reader sees the text (none when it refuses it).
std::optional<Plain> libraryRead(const std::string& text) {
  ReadResult r = readText(text);
  if (!r.function) return std::nullopt;
  Plain p;
  p.inputs = r.function->inputCount;
  p.outputs = r.function->outputCount;
  p.type = r.function->type;
  forEachTerm(*r.function, [&](const TPfnct& t) {
    p.in.push_back(t.input.str());
    p.out.push_back(t.output);
  });
  return p;
}

/// Parses a file written by the program: strict, since the writer has one layout.
std::string parseWritten(const std::string& text, Plain& p, bool tildeInputs = false) {
  std::istringstream s(text);
  std::string line;
  int declaredTerms = -1;
  bool ended = false, sawI = false, sawO = false;
  while (std::getline(s, line)) {
    if (ended) return "text after .e: " + line;
    if (line.rfind(".i ", 0) == 0) {
      p.inputs = std::atoi(line.c_str() + 3), sawI = true;
    } else if (line.rfind(".o ", 0) == 0) {
      p.outputs = std::atoi(line.c_str() + 3), sawO = true;
    } else if (line.rfind(".p ", 0) == 0) {
      declaredTerms = std::atoi(line.c_str() + 3);
    } else if (line.rfind(".ilb", 0) == 0 || line.rfind(".ob", 0) == 0) {
    } else if (line.rfind(".type ", 0) == 0) {
      const std::string t = line.substr(6);
      p.type = t == "fr" ? kTypeFr : t == "f" ? kTypeF : t == "fdr" ? kTypeFdr : t == "r" ? kTypeR : kTypeFd;
    } else if (line == ".e") {
      ended = true;
    } else {
      if (!sawI || !sawO) return "term before .i/.o: " + line;
      const std::size_t blank = line.find(' ');
      if (blank != static_cast<std::size_t>(p.inputs) || line.size() != blank + 1 + p.outputs)
        return "malformed term line: '" + line + "'";
      const std::string in = line.substr(0, blank), out = line.substr(blank + 1);
      if (in.find_first_not_of(tildeInputs ? "01-~" : "01-") != std::string::npos) return "bad input character: " + line;
      if (out.find_first_not_of("01-~") != std::string::npos) return "bad output character: " + line;
      p.in.push_back(in);
      p.out.push_back(out);
    }
  }
  if (!ended) return "no .e line";
  if (declaredTerms != static_cast<int>(p.in.size()))
    return ".p " + std::to_string(declaredTerms) + " but " + std::to_string(p.in.size()) + " terms";
  return "";
}

// What one output character of a term containing a minterm makes of that
// minterm's value v, by the source's type.
void applyCharacter(int type, char c, char& v) {
  if (type == kTypeFr || type == kTypeFdr) {
    if (c == '1') v = '1';
    if (c == '0' && v == '-') v = '0';
  } else if (type == kTypeR) {
    if (c == '0') v = '0';
  } else if (c == '1') {
    v = '1';
  } else if (c == '-' && type == kTypeFd && v == '0') {
    v = '-';
  }
}

// Per minterm and output: '1' on-set, '0' off-set, '-' don't-care, by the source's type:
// what no term speaks for is off in f and fd, on in r, unspecified in fr and fdr.
std::vector<std::string> frTable(const Plain& f) {
  const std::uint32_t count = 1u << f.inputs;
  const char rest = f.type == kTypeFd || f.type == kTypeF ? '0' : f.type == kTypeR ? '1' : '-';
  std::vector<std::string> table(count, std::string(static_cast<std::size_t>(f.outputs), rest));
  for (std::size_t t = 0; t < f.in.size(); ++t)
    for (std::uint32_t m = 0; m < count; ++m) {
      if (!contains(f.in[t], m)) continue;
      for (int j = 0; j < f.outputs; ++j)
        applyCharacter(f.type, f.out[t][static_cast<std::size_t>(j)], table[m][static_cast<std::size_t>(j)]);
    }
  return table;
}

std::string coverFault(const Plain& source, const Plain& result) {
  if (result.inputs != source.inputs || result.outputs != source.outputs)
    return "dimensions " + std::to_string(result.inputs) + "/" + std::to_string(result.outputs);
  const std::vector<std::string> table = frTable(source);
  for (std::uint32_t m = 0; m < table.size(); ++m)
    for (int j = 0; j < source.outputs; ++j) {
      bool covered = false;
      for (std::size_t t = 0; t < result.in.size() && !covered; ++t)
        covered = result.out[t][static_cast<std::size_t>(j)] == '1' && contains(result.in[t], m);
      const char v = table[m][static_cast<std::size_t>(j)];
      if (v == '1' && !covered) return "on-set minterm " + mintermText(m, source.inputs) + " of output " + std::to_string(j) + " not covered";
      if (v == '0' && covered) return "off-set minterm " + mintermText(m, source.inputs) + " of output " + std::to_string(j) + " covered";
    }
  return "";
}

std::optional<long> reportFigure(const std::string& err, const std::string& name) {
  const std::string key = "\n" + name + ": ";
  const std::size_t at = err.find(key);
  if (at == std::string::npos) return std::nullopt;
  return std::strtol(err.c_str() + at + key.size(), nullptr, 10);
}

// ---------------------------------------------------------------- generators

const std::vector<std::string> kCommentWords = {"#", "#note", "generated", "by", "fuzz", "x=y", "#-", "ok?"};

std::string commentLine(Rng& r) {
  std::string s = "#" + r.pick(kCommentWords);  // a comment line begins with '#'; other words are refused
  for (int k = r.below(4); k > 0; --k) s += " " + r.pick(kCommentWords);
  return s;
}

std::string nameWord(Rng& r, const char* stem, int i) {
  switch (r.below(8)) {
    case 0: return "1" + std::string(stem) + std::to_string(i);  // a name may look like a term
    case 1: return "." + std::string(stem) + std::to_string(i);  // or like a keyword
    default: return std::string(stem) + std::to_string(i);
  }
}

std::string spellInput(Rng& r, const std::string& in) {
  std::string s;
  for (char c : in) s += c == '-' && r.chance(30) ? '2' : c == '1' && r.chance(15) ? '4' : c;
  return s;
}

std::string spellOutput(Rng& r, const std::string& out) {
  std::string s;
  for (char c : out) s += c == '~' && r.chance(30) ? '3' : c == '1' && r.chance(15) ? '4' : c == '-' && r.chance(30) ? '2' : c;
  return s;
}

std::string splitWord(Rng& r, const std::string& part) {
  if (part.size() < 2 || !r.chance(12)) return part;
  const std::size_t k = 1 + static_cast<std::size_t>(r.below(static_cast<int>(part.size()) - 1));
  return part.substr(0, k) + (r.chance(50) ? " " : "\t") + part.substr(k);
}

std::string termLine(Rng& r, const std::string& in, const std::string& out) {
  std::string a = spellInput(r, in), b = spellOutput(r, out);
  if (!a.empty() && r.chance(15)) return a + std::string(1, "|/x:;"[r.below(5)]) + splitWord(r, b);
  const char* gaps[] = {" ", "\t", "   ", "\n"};
  return splitWord(r, a) + gaps[r.below(r.chance(95) ? 3 : 4)] + splitWord(r, b);
}

std::vector<std::string> randomOptions(Rng& r) {
  std::vector<std::string> o;
  if (r.chance(40)) o.push_back("-CP" + std::to_string(r.below(4)));
  if (r.chance(40)) o.push_back("-E" + std::to_string(r.below(5)));
  if (r.chance(20)) o.push_back("-single");
  if (r.chance(15)) o.push_back("-endcov");
  if (r.chance(20)) o.push_back("-SD");
  const std::vector<std::string> ratios = {"0", "50", "100"};
  if (r.chance(40)) o.push_back("-FR" + r.pick(ratios));
  if (r.chance(25)) o.push_back("-CM" + r.pick(ratios));
  if (r.chance(25)) o.push_back("-RM" + r.pick(ratios));
  if (r.chance(20)) o.push_back("-DD" + std::to_string(r.below(2)));
  if (r.chance(25)) o.push_back("-DF" + r.pick(std::vector<std::string>{"-1", "0", "3", "10"}));
  bool bounded = false;
  if (r.chance(70)) o.push_back("-Si" + std::to_string(1 + r.below(5))), bounded = true;
  if (r.chance(40)) o.push_back(std::string("-Q") + "tlobgG"[r.below(6)]);
  if (r.chance(6)) o.push_back("-Sn" + std::to_string(1 + r.below(3)));
  if (r.chance(6)) o.push_back("-Sq" + std::to_string(r.below(6)));
  // A quality or interval criterion alone may run for long: bound it by iterations.
  if (!bounded && o.size() && (o.back().rfind("-Sn", 0) == 0 || o.back().rfind("-Sq", 0) == 0))
    o.push_back("-Si" + std::to_string(1 + r.below(5)));
  if (r.chance(10)) o.push_back("-j2");
  if (r.chance(8)) o.push_back("-St0.2");
  if (r.chance(40)) o.push_back("-seed" + std::to_string(r.below(1000000)));
  if (r.chance(25)) o.push_back("-statsstats.json");  // the run's folder is its working folder
  r.shuffle(o);
  if (r.chance(25)) o.push_back("-refine");
  return o;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string s;
  for (std::size_t i = 0; i < lines.size(); ++i) s += (i ? "\n" : "") + lines[i];
  return s;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
}

/// Terms of a random consistent fr function built from a truth table.
void randomTerms(Rng& r, int inputs, int outputs, bool dashOutputs, std::vector<std::string>& ins,
                 std::vector<std::string>& outs) {
  const std::uint32_t count = 1u << inputs;
  const int dcPercent = r.below(60), onPercent = 15 + r.below(70);
  std::vector<std::string> table(count, std::string(static_cast<std::size_t>(outputs), '-'));
  for (auto& row : table)
    for (char& c : row) c = r.chance(dcPercent) ? '-' : r.chance(onPercent) ? '1' : '0';
  std::vector<std::string> done(count, std::string(static_cast<std::size_t>(outputs), 0));
  std::vector<std::pair<std::uint32_t, int>> targets;
  for (std::uint32_t m = 0; m < count; ++m)
    for (int j = 0; j < outputs; ++j)
      if (table[m][static_cast<std::size_t>(j)] != '-') targets.emplace_back(m, j);
  r.shuffle(targets);
  // Whether every minterm of the cube has a value other than `against` at output j.
  auto allows = [&](const std::string& cube, int j, char against) {
    for (std::uint32_t m = 0; m < count; ++m)
      if (contains(cube, m) && table[m][static_cast<std::size_t>(j)] == against) return false;
    return true;
  };
  for (auto [m, j] : targets) {
    if (done[m][static_cast<std::size_t>(j)]) continue;
    const char v = table[m][static_cast<std::size_t>(j)];
    if (v == '0' && r.chance(10)) continue;  // an uncovered off minterm is simply unspecified
    std::string cube = mintermText(m, inputs);
    std::vector<int> order(static_cast<std::size_t>(inputs));
    for (int p = 0; p < inputs; ++p) order[static_cast<std::size_t>(p)] = p;
    r.shuffle(order);
    const int grow = r.below(101);
    for (int p : order) {
      if (!r.chance(grow)) continue;
      const char keep = cube[static_cast<std::size_t>(p)];
      cube[static_cast<std::size_t>(p)] = '-';
      if (!allows(cube, j, v == '1' ? '0' : '1')) cube[static_cast<std::size_t>(p)] = keep;
    }
    std::string out(static_cast<std::size_t>(outputs), '~');
    out[static_cast<std::size_t>(j)] = v;
    for (int k = 0; k < outputs; ++k) {
      if (k == j) continue;
      if (r.chance(50)) {
        std::vector<char> allowed;
        if (allows(cube, k, '0')) allowed.push_back('1');
        if (allows(cube, k, '1')) allowed.push_back('0');
        if (!allowed.empty()) out[static_cast<std::size_t>(k)] = r.pick(allowed);
      } else if (dashOutputs && r.chance(5)) {
        out[static_cast<std::size_t>(k)] = '-';
      }
    }
    for (int k = 0; k < outputs; ++k) {
      const char c = out[static_cast<std::size_t>(k)];
      if (c != '0' && c != '1') continue;
      for (std::uint32_t x = 0; x < count; ++x)
        if (contains(cube, x)) table[x][static_cast<std::size_t>(k)] = c, done[x][static_cast<std::size_t>(k)] = 1;
    }
    ins.push_back(cube);
    outs.push_back(out);
  }
  for (std::size_t t = 0, n = ins.size(); t < n; ++t) {
    if (r.chance(5)) ins.push_back(ins[t]), outs.push_back(outs[t]);  // a repeated term
  }
  if (ins.empty()) {
    ins.push_back(std::string(static_cast<std::size_t>(inputs), '-'));
    outs.push_back(std::string(static_cast<std::size_t>(outputs), '~'));
  }
  std::vector<std::size_t> perm(ins.size());
  for (std::size_t i = 0; i < perm.size(); ++i) perm[i] = i;
  r.shuffle(perm);
  std::vector<std::string> a, b;
  for (std::size_t i : perm) a.push_back(ins[i]), b.push_back(outs[i]);
  ins = std::move(a);
  outs = std::move(b);
}

std::string plaText(Rng& r, int inputs, int outputs, const std::vector<std::string>& ins,
                    const std::vector<std::string>& outs, const std::string& type = "fr") {
  std::vector<std::string> head;
  head.push_back(std::string(r.chance(20) ? ".I " : ".i ") + std::to_string(inputs));
  head.push_back(std::string(r.chance(20) ? ".O " : ".o ") + std::to_string(outputs));
  if (r.chance(30)) std::swap(head[0], head[1]);
  std::string upper = type;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  const std::vector<std::string> types = {".type " + type, ".type " + upper, ".TYPE " + type, ".type\t" + type};
  head.insert(head.begin() + r.below(3), r.pick(types));
  if (r.chance(40)) head.push_back(".p " + std::to_string(r.chance(70) ? ins.size() : static_cast<std::size_t>(r.below(9))));
  if (r.chance(30)) {
    std::string l = ".ilb";
    for (int i = 0; i < inputs; ++i) l += " " + nameWord(r, "a", i);
    head.push_back(l);
  }
  if (r.chance(30)) {
    std::string l = ".ob";
    for (int i = 0; i < outputs; ++i) l += " " + nameWord(r, "f", i);
    head.push_back(l);
  }
  if (r.chance(20)) head.insert(head.begin() + r.below(static_cast<int>(head.size()) + 1), commentLine(r));
  if (r.chance(10)) head.push_back(".model x 1 0");  // an unknown keyword: the rest of its line is skipped
  std::vector<std::string> lines = head;
  for (std::size_t t = 0; t < ins.size(); ++t) {
    if (r.chance(4)) lines.push_back(commentLine(r));
    lines.push_back(termLine(r, ins[t], outs[t]));
  }
  const int end = r.below(10);
  if (end < 5) lines.push_back(".e");
  else if (end < 7) lines.push_back(".end");
  const std::string nl = r.chance(15) ? "\r\n" : "\n";
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? nl : "") + lines[i];
  if (r.chance(85)) text += nl;
  return text;
}

const std::vector<std::string> kModes = {"-info", "-Tcheck", "-Tsplit", "-Tminterm"};

/// The inputs a reader could use for -Tminterm: the largest number after any ".i" word.
long largestDeclaredInputs(const std::string& text) {
  std::istringstream s(text);
  std::string w;
  long most = 0;
  bool after = false;
  while (s >> w) {
    if (after) most = std::max(most, std::strtol(w.c_str(), nullptr, 10) > INT_MAX ? long{INT_MAX} : std::strtol(w.c_str(), nullptr, 10));
    after = w.size() == 2 && w[0] == '.' && (w[1] == 'i' || w[1] == 'I');
  }
  return most;
}

const std::vector<std::string> kKeywordLines = {
    ".i 3", ".o 9", ".i", ".o", ".ilb", ".ob a b", ".ilb x y z w", ".type fd", ".type", ".type fr", ".e",
    ".p -1", ".end", ".x junk 1 0", ".", "..", ".E", ".i -4", ".o 0", ".i 64999", ".o 2147483648",
    ".i 99999999999999", ".ob", ".p", ".i 0", ".mv 4 0 2 2"};

std::string randomBytes(Rng& r, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>(r.chance(50) ? "01-~ \n.ie234|#"[r.below(15)] : r.below(256));
  return s;
}

void mutate(Rng& r, std::vector<std::string>& lines, const Case& base) {
  const int where = r.below(static_cast<int>(lines.size()) + 1);
  switch (r.below(12)) {
    case 0: {  // truncate at a random byte
      std::string t = joinLines(lines);
      lines = splitLines(t.substr(0, static_cast<std::size_t>(r.below(static_cast<int>(t.size()) + 1))));
      break;
    }
    case 1: lines.insert(lines.begin() + where, randomBytes(r, 1 + r.below(20))); break;
    case 2:
      for (std::string& l : lines)
        if ((l.rfind(".i", 0) == 0 || l.rfind(".o", 0) == 0 || l.rfind(".I", 0) == 0) && l.size() > 2 && l[2] == ' ')
          if (r.chance(50))
            l = l.substr(0, 3) + r.pick(std::vector<std::string>{"-1", "-2147483648", "65000", "64999", "99999999999",
                                                                  "2147483648", "0", "abc", "", "70000", "31"});
      break;
    case 3: lines.insert(lines.begin() + where, r.pick(kKeywordLines)); break;
    case 4: {  // a very long word
      std::string w(static_cast<std::size_t>(60000 + r.below(20000)), "01-a.~"[r.below(6)]);
      if (r.chance(50)) for (char& c : w) if (r.chance(30)) c = "01-2"[r.below(4)];
      lines.insert(lines.begin() + where, w);
      break;
    }
    case 5:
      if (!lines.empty()) lines.erase(lines.begin() + std::min(where, static_cast<int>(lines.size()) - 1));
      break;
    case 6: {  // an intersecting term with '0' against '1' (or the reverse)
      if (base.expectedInputs.empty()) break;
      const std::size_t t = static_cast<std::size_t>(r.below(static_cast<int>(base.expectedInputs.size())));
      std::string out = base.expectedOutputs[t];
      for (char& c : out) c = c == '1' ? '0' : c == '0' ? '1' : c;
      lines.insert(lines.begin() + where, base.expectedInputs[t] + " " + out);
      break;
    }
    case 7:
      for (std::string& l : lines)
        if (l.size() >= 5 && (l.rfind(".type", 0) == 0 || l.rfind(".TYPE", 0) == 0)) l = ".type fd";
      break;
    case 8: {  // a second function with other dimensions
      lines.erase(std::remove_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind(".e", 0) == 0; }),
                  lines.end());
      lines.push_back(r.pick(std::vector<std::string>{".i 5", ".o 7", ".ilb p q", ".type fd"}));
      lines.push_back("10101 11");
      break;
    }
    case 9: lines.insert(lines.begin(), r.pick(std::vector<std::string>{".ilb a b c", ".ob q", ".ilb", ".ob a b c d"})); break;
    case 10: {  // NUL or high bytes inside a line
      if (lines.empty()) break;
      std::string& l = lines[static_cast<std::size_t>(std::min(where, static_cast<int>(lines.size()) - 1))];
      l.insert(static_cast<std::size_t>(r.below(static_cast<int>(l.size()) + 1)), 1, r.chance(50) ? '\0' : '\xff');
      break;
    }
    default:  // keywords at the end of the file with their words missing
      lines.push_back(r.pick(std::vector<std::string>{".i", ".o", ".ilb", ".ob", ".type", ".i 2\n.ilb a"}));
      break;
  }
}

}  // namespace

// ---------------------------------------------------------------- public

const char* binaryPath() { return VORN_BINARY; }

Case wellFormedCase(std::uint64_t seed) {
  Rng r(seed);
  Case c;
  c.wellFormed = true;
  c.inputs = r.below(9);
  c.outputs = 1 + r.below(5);
  c.options = randomOptions(r);
  // '-' in an fr output part means nothing; every generator must read it so.
  randomTerms(r, c.inputs, c.outputs, true, c.expectedInputs, c.expectedOutputs);
  // Every type minimizes; the terms mean something else in each, which the judge reads by the type.
  if (r.chance(40)) c.type = r.pick(std::vector<std::string>{"fdr", "fd", "f", "r"});
  c.text = plaText(r, c.inputs, c.outputs, c.expectedInputs, c.expectedOutputs, c.type);
  if (c.type == "fr" && r.chance(12))
    c.options.push_back(r.pick(std::vector<std::string>{"-Tcheck", "-Tsplit", "-Tminterm", "-info"}));
  c.withDestination = r.chance(85);
  c.viaStdin = r.chance(10);
  return c;
}

Case hostileCase(std::uint64_t seed) {
  Rng r(seed);
  Case c;
  const int kind = r.below(12);
  if (kind == 0) {
    c.text = r.chance(50) ? "" : std::string(static_cast<std::size_t>(r.below(5)), '\0');
  } else if (kind == 1) {
    for (int k = r.below(8); k >= 0; --k) c.text += r.pick(kKeywordLines) + "\n";
  } else if (kind == 2) {
    c.text = randomBytes(r, r.below(300));
  } else {
    const Case base = wellFormedCase(seed ^ 0x5eedULL);
    std::vector<std::string> lines = splitLines(base.text);
    for (int k = 1 + r.below(3); k > 0; --k) mutate(r, lines, base);
    c.text = joinLines(lines);
  }
  const int mode = r.below(7);
  if (mode >= 4) {  // minimization gets the larger share: it has the most code to go wrong
    c.options = randomOptions(r);
    if (r.chance(10)) c.options.push_back(r.pick(std::vector<std::string>{"-E9", "-CP7", "-FR200", "-Tfoo", "-DD5", "-E-1"}));
  } else {
    c.options.push_back(kModes[static_cast<std::size_t>(mode)]);
  }
  if (!c.options.empty() && c.options.back() == "-Tminterm") {
    const long n = largestDeclaredInputs(c.text);
    if (n > 12 && n < 31) c.options.back() = "-Tcheck";  // a legal but slow truth table
  }
  c.withDestination = r.chance(80);
  return c;
}

Outcome runCase(const Case& c, double timeoutSeconds) {
  Outcome o;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vorn_fuzz_XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    o.err = "cannot make a run directory";
    return o;
  }
  const std::string dir = pattern, work = dir + "/w", src = work + "/source.pla", dst = work + "/result.pla";
  ::mkdir(work.c_str(), 0700);
  std::ofstream(src, std::ios::binary) << c.text;
  std::vector<std::string> args = {binaryPath()};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back(c.viaStdin ? "-" : src);
  if (c.withDestination) args.push_back(dst);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string outPath = dir + "/stdout", errPath = dir + "/stderr";
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(work.c_str()) != 0) ::_exit(126);
    const int in = ::open(c.viaStdin ? src.c_str() : "/dev/null", O_RDONLY), out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
              err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0), ::dup2(out, 1), ::dup2(err, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > timeoutSeconds) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      o.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!o.timedOut && WIFEXITED(status)) o.exitCode = WEXITSTATUS(status);
  if (!o.timedOut && WIFSIGNALED(status)) o.signal = WTERMSIG(status);
  auto slurp = [](const std::string& path, std::string& into) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    into = s.str();
    return true;
  };
  slurp(outPath, o.out);
  slurp(errPath, o.err);
  o.resultExists = slurp(dst, o.result);
  if (DIR* d = ::opendir(work.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") {
        if (name == "stats.json") {
          std::ifstream in(work + "/" + name, std::ios::binary);
          std::ostringstream text;
          text << in.rdbuf();
          o.statistics = text.str();
        } else if (name != "source.pla" && name != "result.pla") {
          o.strayFiles.push_back(name);
        }
        std::remove((work + "/" + name).c_str());
      }
    }
    ::closedir(d);
  }
  ::rmdir(work.c_str());
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  ::rmdir(dir.c_str());
  return o;
}

namespace {

std::string modeOf(const Case& c) {
  std::string mode = "minimize";
  for (const std::string& o : c.options)
    if (std::find(kModes.begin(), kModes.end(), o) != kModes.end()) mode = o;
  return mode;
}

bool has(const Case& c, const char* prefix) {
  for (const std::string& o : c.options)
    if (o.rfind(prefix, 0) == 0) return true;
  return false;
}

std::string judgeMinimize(const Case& c, const Outcome& o, const Plain& source, const std::string& written) {
  Plain result;
  if (std::string e = parseWritten(written, result); !e.empty()) return "format " + e;
  const auto terms = reportFigure(o.err, "Terms"), literals = reportFigure(o.err, "Literals"),
             cost = reportFigure(o.err, "Output cost");
  long lits = 0, ones = 0;
  for (std::size_t t = 0; t < result.in.size(); ++t) {
    for (char ch : result.in[t]) lits += ch == '0' || ch == '1';
    for (char ch : result.out[t]) ones += ch == '1';
  }
  if (!terms || !literals || !cost) return "report missing figures";
  if (*terms != static_cast<long>(result.in.size()) || *literals != lits || *cost != ones)
    return "report says " + std::to_string(*terms) + "/" + std::to_string(*literals) + "/" + std::to_string(*cost) +
           ", file holds " + std::to_string(result.in.size()) + "/" + std::to_string(lits) + "/" + std::to_string(ones);
  if (source.inputs <= 12)
    if (std::string e = coverFault(source, result); !e.empty()) return "invalid " + e;
  (void)c;
  return "";
}

/// The -Tminterm result the rules give, or none when a minterm's outputs clash.
std::optional<Plain> expectedMinterms(const Plain& f) {
  Plain r;
  r.inputs = f.inputs, r.outputs = f.outputs, r.type = f.type;
  for (std::uint32_t m = 0; m < (1u << f.inputs); ++m) {
    std::string out(static_cast<std::size_t>(f.outputs), f.type == kTypeFr ? '~' : '0');
    for (std::size_t t = 0; t < f.in.size(); ++t) {
      if (!contains(f.in[t], m)) continue;
      for (std::size_t j = 0; j < out.size(); ++j) {
        const char ch = f.out[t][j];
        if (f.type == kTypeFd) {
          if (ch == '1') out[j] = '1';
        } else if (ch != '~') {
          if (out[j] != '~' && out[j] != ch) return std::nullopt;
          out[j] = ch;
        }
      }
    }
    r.in.push_back(mintermText(m, f.inputs));
    r.out.push_back(out);
  }
  return r;
}

bool expectedConsistent(const Plain& f) {
  for (std::size_t t = 0; t < f.in.size(); ++t)
    for (std::size_t u = t + 1; u < f.in.size(); ++u) {
      if (!cubesMeet(f.in[t], f.in[u])) continue;
      for (std::size_t j = 0; j < static_cast<std::size_t>(f.outputs); ++j)
        if (f.out[t][j] != f.out[u][j] && f.out[t][j] != '~' && f.out[u][j] != '~') return false;
    }
  return true;
}

bool hasOnOffClash(const Plain& f) {
  for (std::size_t t = 0; t < f.in.size(); ++t)
    for (std::size_t u = t + 1; u < f.in.size(); ++u) {
      if (!cubesMeet(f.in[t], f.in[u])) continue;
      for (std::size_t j = 0; j < static_cast<std::size_t>(f.outputs); ++j)
        if ((f.out[t][j] == '1' && f.out[u][j] == '0') || (f.out[t][j] == '0' && f.out[u][j] == '1')) return true;
    }
  return false;
}

std::string judgeSplit(const Plain& source, const std::string& written) {
  // '~' in an input part means nothing; the split carries it through untouched,
  // and such a source has no cube semantics to check.
  bool tildeInputs = false;
  for (const std::string& in : source.in) tildeInputs |= in.find('~') != std::string::npos;
  Plain r;
  if (std::string e = parseWritten(written, r, tildeInputs); !e.empty()) return "format " + e;
  if (tildeInputs) return "";
  for (std::size_t t = 0; t < r.in.size(); ++t)
    for (std::size_t u = t + 1; u < r.in.size(); ++u)
      if (cubesMeet(r.in[t], r.in[u])) return "split terms " + r.in[t] + " and " + r.in[u] + " intersect";
  if (source.inputs > 12) return "";
  const std::vector<std::string> before = frTable(source), after = frTable(r);
  for (std::uint32_t m = 0; m < before.size(); ++m)
    if (before[m] != after[m]) return "split changed minterm " + mintermText(m, source.inputs) + ": " + before[m] + " -> " + after[m];
  return "";
}

}  // namespace

std::string judge(const Case& c, const Outcome& o) {
  if (o.timedOut) return "timeout";
  if (o.signal) return "crash signal " + std::to_string(o.signal);
  for (const char* marker : {"Sanitizer", "runtime error:", "terminate called", "Assertion"})
    if (o.err.find(marker) != std::string::npos) {
      const std::size_t at = o.err.find(marker);
      return std::string("sanitizer ") + o.err.substr(at, std::min<std::size_t>(200, o.err.size() - at));
    }
  if (o.exitCode != 0 && o.exitCode != 1) return "exit-code " + std::to_string(o.exitCode);
  if (!o.strayFiles.empty()) return "stray-file " + o.strayFiles.front();
  const std::string mode = modeOf(c);
  const bool writes = mode == "minimize" || mode == "-Tsplit" || mode == "-Tminterm";
  const bool endcovConflict = mode == "minimize" && has(c, "-endcov") && (has(c, "-Sn") || has(c, "-Sq"));
  if (o.exitCode == 1) {
    if (o.resultExists) return "partial-output file left after exit 1";
    if (!o.out.empty()) return "partial-output on standard output after exit 1";
    // A mistyped option ends the run before the source is loaded.
    const bool optionRefused = o.err.find("Unknown parameter ") != std::string::npos;
    if (o.err.size() < 2 || o.err.compare(o.err.size() - 2, 2, "\n\n") == 0 ||
        (o.err.find("Input function: ") == std::string::npos && !optionRefused))
      return "silent exit 1 without a message";
    if (c.wellFormed && !(mode == "-Tminterm" || mode == "-Tsplit"))
      return "refused well-formed source: " + o.err.substr(o.err.rfind('\n', o.err.size() - 2) + 1);
  }
  if (o.exitCode != 0) return "";
  if (!writes || endcovConflict) {
    if (o.resultExists) return "unexpected-output file written by " + mode;
    if (mode == "-info" && o.out.find("Terms: ") == std::string::npos) return "info printed no figures";
    return "";
  }
  if (c.withDestination && !o.resultExists) return "missing-output after exit 0";
  const std::string written = c.withDestination ? o.result : o.out;
  const std::optional<Plain> source = libraryRead(c.text);
  if (!source) return "exit 0 on a source the reader refuses";
  if (c.wellFormed && !c.expectedInputs.empty()) {
    if (source->in != c.expectedInputs) return "reader terms differ from the generated ones";
    for (std::size_t t = 0; t < source->out.size(); ++t)
      if (source->out[t] != c.expectedOutputs[t]) return "reader outputs differ: " + source->out[t] + " vs " + c.expectedOutputs[t];
  }
  if (mode == "minimize" && has(c, "-stats") && o.statistics.find("\"interrupted\": false") == std::string::npos)
    return "statistics missing or saying interrupted: " + o.statistics.substr(0, 200);
  if (mode == "minimize") return judgeMinimize(c, o, *source, written);
  if (mode == "-Tsplit") return judgeSplit(*source, written);
  // -Tminterm
  Plain r;
  if (std::string e = parseWritten(written, r); !e.empty()) return "format " + e;
  // The expected minterms follow the fd and fr rules; the other types are judged by the fuzz targets' tables.
  if (source->inputs <= 12 && (source->type == kTypeFd || source->type == kTypeFr)) {
    const std::optional<Plain> want = expectedMinterms(*source);
    if (!want) return "minterm split succeeded on clashing minterm outputs";
    if (r.in != want->in || r.out != want->out) return "minterm terms differ from the truth table";
  }
  return "";
}

std::string check(const Case& c, double timeoutSeconds) {
  Outcome o = runCase(c, timeoutSeconds);
  std::string fault = judge(c, o);
  // A seeded run bounded by iterations gives the same result byte for byte when repeated.
  if (fault.empty() && o.exitCode == 0 && has(c, "-seed") && !has(c, "-St")) {
    const Outcome again = runCase(c, timeoutSeconds);
    if ((c.withDestination ? again.result : again.out) != (c.withDestination ? o.result : o.out))
      fault = "repeat of a seeded run gave another result";
  }
  if (fault.empty() && c.wellFormed && !c.expectedInputs.empty()) {
    // Independent expectations of the special modes on a known function.
    const std::string mode = modeOf(c);
    Plain f;
    f.inputs = c.inputs, f.outputs = c.outputs, f.type = kTypeFr, f.in = c.expectedInputs, f.out = c.expectedOutputs;
    if (mode == "-Tcheck") {
      const char* want = expectedConsistent(f) ? "Function is consistent\n" : "Inconsistent function!\n";
      if (o.err.find(want) == std::string::npos) fault = std::string("check expected ") + want;
    } else if (mode == "-Tsplit" && !hasOnOffClash(f) && o.exitCode != 0) {
      fault = "split refused a function without 1/0 clash";
    } else if (mode == "-Tminterm" && (o.exitCode == 0) != expectedMinterms(f).has_value()) {
      fault = "minterm exit code " + std::to_string(o.exitCode);
    }
  }
  return fault;
}

namespace {
// A refusal keeps its message: shrinking must not trade it for another refusal.
std::string kindOf(const std::string& fault) {
  return fault.rfind("refused", 0) == 0 ? fault : fault.substr(0, fault.find(' '));
}
}  // namespace

Case shrink(const Case& failing, const std::string& fault, double timeoutSeconds) {
  Case c = failing;
  c.expectedInputs.clear();  // the generator's terms no longer describe a shrunk text
  c.expectedOutputs.clear();
  const std::string kind = kindOf(fault);
  return shrinkWhile(c, [&](const Case& trial) {
    const std::string f = check(trial, timeoutSeconds);
    return !f.empty() && kindOf(f) == kind;
  });
}

Case shrinkWhile(const Case& failing, const std::function<bool(const Case&)>& stillFails) {
  Case best = failing;
  if (!stillFails(best)) return best;  // the fault needs more than the case holds; keep it whole
  for (bool changed = true; changed;) {
    changed = false;
    std::vector<std::string> lines = splitLines(best.text);
    for (std::size_t i = 0; i < lines.size();) {
      std::vector<std::string> fewer = lines;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
      Case trial = best;
      trial.text = joinLines(fewer);
      if (stillFails(trial)) {
        best = trial, lines = fewer, changed = true;
      } else {
        ++i;
      }
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
      while (lines[i].size() > 16) {
        std::vector<std::string> shorter = lines;
        shorter[i].resize(lines[i].size() / 2);
        Case trial = best;
        trial.text = joinLines(shorter);
        if (!stillFails(trial)) break;
        best = trial, lines = shorter, changed = true;
      }
    for (std::size_t i = 0; i < best.options.size();) {
      Case trial = best;
      trial.options.erase(trial.options.begin() + static_cast<std::ptrdiff_t>(i));
      if (stillFails(trial)) {
        best = trial, changed = true;
      } else {
        ++i;
      }
    }
  }
  return best;
}

std::string describe(const Case& c) {
  std::string s = "options:";
  for (const std::string& o : c.options) s += " " + o;
  s += c.withDestination ? " source.pla result.pla\n" : " source.pla\n";
  s += "source (C string): \"";
  for (unsigned char ch : c.text) {
    if (ch == '\n') s += "\\n";
    else if (ch == '\r') s += "\\r";
    else if (ch == '\t') s += "\\t";
    else if (ch == '"' || ch == '\\') s += "\\" + std::string(1, static_cast<char>(ch));
    else if (ch < 32 || ch >= 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x\"\"", ch);
      s += buf;
    } else s += static_cast<char>(ch);
  }
  if (s.size() > 4000) s = s.substr(0, 4000) + "...(" + std::to_string(c.text.size()) + " bytes)";
  return s + "\"\n";
}

}  // namespace vorn::fuzz
