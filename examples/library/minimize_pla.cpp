// Minimizes the PLA text on standard input and writes the cover to standard
// output, its figures to standard error: the program's main path, through
// the installed library.
#include <iostream>
#include <sstream>

#include <vorn/vorn.hpp>

int main() {
  try {
    std::ostringstream input;
    input << std::cin.rdbuf();
    const std::string text = input.str();

    auto f = vorn::readPla(text);
    vorn::MinimizeParams p;
    p.refine = true;
    p.seed = 1;
    vorn::MinimizeStats stats;
    auto cover = vorn::minimize(f, p, &stats);
    std::string out = vorn::writePla(cover);

    const vorn::Verdict verdict = vorn::verify(f, cover);
    if (!verdict) {
      std::cerr << "invalid cover: " << verdict.fault << "\n";
      return 2;
    }
    std::cout << out;
    stats.report(std::cerr);
    return 0;
  } catch (const vorn::Error& e) {
    std::cerr << e.what() << "\n";
    return e.exitCode();
  }
}
