#include "support/cover_check.h"

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

}  // namespace

std::string checkCover(const PlainFunction& source, const PlainFunction& result) {
  if (source.inputs != result.inputs || source.outputs != result.outputs) return "dimensions differ";
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
      if (source.out[s][j] != '1') continue;
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
