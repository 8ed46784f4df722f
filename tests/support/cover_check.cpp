#include "support/cover_check.h"

#include "model/pla.h"

namespace vorn::test {

namespace {

bool meets(const std::string& a, const std::string& b) {
  for (std::size_t p = 0; p < a.size(); ++p)
    if ((a[p] == '0' && b[p] == '1') || (a[p] == '1' && b[p] == '0')) return false;
  return true;
}

// Splits `piece` into the parts outside `cube` (appended to `rest`).
void subtract(const std::string& piece, const std::string& cube, std::vector<std::string>& rest) {
  std::string inside = piece;
  for (std::size_t p = 0; p < piece.size(); ++p) {
    if (piece[p] != '-' || cube[p] == '-') continue;
    std::string outside = inside;
    outside[p] = cube[p] == '0' ? '1' : '0';
    rest.push_back(outside);
    inside[p] = cube[p];
  }
}

// True when the on-set cube lies in the union of the cubes.
bool covered(const std::string& onCube, const std::vector<const std::string*>& cubes) {
  std::vector<std::string> rest{onCube}, next;
  for (const std::string* c : cubes) {
    next.clear();
    for (const std::string& piece : rest) {
      if (meets(piece, *c))
        subtract(piece, *c, next);
      else
        next.push_back(piece);
    }
    rest.swap(next);
    if (rest.empty()) return true;
  }
  return rest.empty();
}

// Tautology of a list of cubes by splitting on the variable with the most
// literals among those appearing in both polarities; a list without such a
// variable is a tautology only when it holds the universal cube.
bool tautology(std::vector<std::string> cubes) {
  if (cubes.empty()) return false;
  const std::size_t n = cubes[0].size();
  std::vector<int> zeros(n, 0), ones(n, 0);
  for (const std::string& c : cubes) {
    bool universal = true;
    for (std::size_t p = 0; p < n; ++p) {
      zeros[p] += c[p] == '0';
      ones[p] += c[p] == '1';
      universal = universal && c[p] == '-';
    }
    if (universal) return true;
  }
  int best = -1, bestCount = 0;
  for (std::size_t p = 0; p < n; ++p)
    if (zeros[p] && ones[p] && zeros[p] + ones[p] > bestCount) best = static_cast<int>(p), bestCount = zeros[p] + ones[p];
  if (best < 0) return false;
  for (char value : {'0', '1'}) {
    std::vector<std::string> half;
    for (const std::string& c : cubes)
      if (c[best] == '-' || c[best] == value) {
        half.push_back(c);
        half.back()[best] = '-';
      }
    if (!tautology(std::move(half))) return false;
  }
  return true;
}

// True when the cube lies in the union of the cubes: the cofactor of the union by the cube is a tautology.
bool inside(const std::string& cube, const std::vector<const std::string*>& cubes) {
  std::vector<std::string> cofactor;
  for (const std::string* c : cubes) {
    if (!meets(cube, *c)) continue;
    std::string k = *c;
    for (std::size_t p = 0; p < k.size(); ++p)
      if (cube[p] != '-') k[p] = '-';
    cofactor.push_back(k);
  }
  return tautology(std::move(cofactor));
}

/// The source terms that carry one of `chars` at output j.
std::vector<const std::string*> sourceWith(const PlainFunction& source, int j, const std::string& chars) {
  std::vector<const std::string*> v;
  for (std::size_t s = 0; s < source.in.size(); ++s)
    if (chars.find(source.out[s][j]) != std::string::npos) v.push_back(&source.in[s]);
  return v;
}

/// Faults of a source without an off-set (f, fd) or without an on-set (r).
std::string checkByType(const PlainFunction& source, const PlainFunction& result) {
  for (int j = 0; j < source.outputs; ++j) {
    std::vector<const std::string*> ones;
    for (std::size_t r = 0; r < result.in.size(); ++r)
      if (result.out[r][j] == '1') ones.push_back(&result.in[r]);
    if (source.type == "r") {
      std::vector<const std::string*> all = sourceWith(source, j, "0");
      all.insert(all.end(), ones.begin(), ones.end());
      if (!inside(std::string(static_cast<std::size_t>(source.inputs), '-'), all))
        return "the on-set of output " + std::to_string(j) + " is not covered";
      continue;
    }
    const std::vector<const std::string*> allowed = sourceWith(source, j, source.type == "fd" ? "1-" : "1");
    for (const std::string* c : ones)
      if (!inside(*c, allowed))
        return "term " + *c + " has 1 at output " + std::to_string(j) + " but leaves on-set and don't-care set";
    for (const std::string* on : sourceWith(source, j, "1"))
      if (!inside(*on, ones)) return "on-set term " + *on + " of output " + std::to_string(j) + " is not covered";
  }
  return "";
}

}  // namespace

namespace {

bool toPlain(const ReadResult& r, PlainFunction& p) {
  if (!r.function) return false;
  p = PlainFunction{};
  p.inputs = r.function->inputCount;
  p.outputs = r.function->outputCount;
  p.type = typeName(r.function->type);
  forEachTerm(*r.function, [&](const TPfnct& t) {
    p.in.push_back(t.input.str());
    std::string o = t.output;
    o.resize(static_cast<std::size_t>(p.outputs), '~');
    p.out.push_back(o);
  });
  return true;
}

}  // namespace

bool readPlain(const std::string& path, PlainFunction& p) { return toPlain(read(path), p); }

bool readPlainText(const std::string& text, PlainFunction& p) { return toPlain(readText(text), p); }

std::string checkCover(const PlainFunction& source, const PlainFunction& result) {
  if (source.inputs != result.inputs || source.outputs != result.outputs) return "dimensions differ";
  if (source.type == "f" || source.type == "fd") return checkByType(source, result);
  if (source.type == "r") {
    if (std::string fault = checkByType(source, result); !fault.empty()) return fault;
  }
  const int m = source.outputs;
  for (std::size_t r = 0; r < result.in.size(); ++r)
    for (std::size_t s = 0; s < source.in.size(); ++s) {
      if (!meets(result.in[r], source.in[s])) continue;
      for (int j = 0; j < m; ++j)
        if (result.out[r][j] == '1' && source.out[s][j] == '0')
          return "term " + result.in[r] + " has 1 at output " + std::to_string(j) + " but meets off-set term " +
                 source.in[s];
    }
  for (int j = 0; j < m; ++j) {
    std::vector<const std::string*> ones;
    for (std::size_t r = 0; r < result.in.size(); ++r)
      if (result.out[r][j] == '1') ones.push_back(&result.in[r]);
    for (std::size_t s = 0; s < source.in.size(); ++s) {
      if (source.out[s][j] != '1' || source.type == "r") continue;
      std::vector<const std::string*> meeting;
      for (const std::string* c : ones)
        if (meets(*c, source.in[s])) meeting.push_back(c);
      if (!covered(source.in[s], meeting))
        return "on-set term " + source.in[s] + " of output " + std::to_string(j) + " is not covered";
    }
  }
  return "";
}

}  // namespace vorn::test
