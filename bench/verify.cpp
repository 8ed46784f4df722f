// vorn_verify source.pla result.pla: checks that a result is a valid cover of
// its source (any type) and prints its figures as "valid terms literals output_cost",
// or "INVALID <reason>" with exit code 1.
#include <cstdio>

#include "model/pla.h"
#include "support/cover_check.h"

using namespace vorn;

static test::PlainFunction load(const char* path, bool& ok) {
  test::PlainFunction p;
  ok = test::readPlain(path, p);
  return p;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorn_verify source.pla result.pla\n");
    return 2;
  }
  bool okSource = false, okResult = false;
  const test::PlainFunction source = load(argv[1], okSource), result = load(argv[2], okResult);
  if (!okSource || !okResult) {
    // A result without terms is valid only when the source has no '1' at all.
    bool anyOne = false;
    for (const std::string& o : source.out) anyOne |= o.find('1') != std::string::npos;
    if (source.type == "r") anyOne = true;  // its on-set is what the off-set leaves
    if (okSource && !anyOne) {
      std::printf("valid 0 0 0\n");
      return 0;
    }
    std::printf("INVALID cannot read %s\n", okSource ? argv[2] : argv[1]);
    return 1;
  }
  const std::string fault = test::checkCover(source, result);
  if (!fault.empty()) {
    std::printf("INVALID %s\n", fault.c_str());
    return 1;
  }
  long literals = 0, outputCost = 0;
  for (std::size_t t = 0; t < result.in.size(); ++t) {
    for (char c : result.in[t]) literals += c == '0' || c == '1';
    for (char c : result.out[t]) outputCost += c == '1';
  }
  std::printf("valid %zu %ld %ld\n", result.in.size(), literals, outputCost);
  return 0;
}
