// Help and version.  The usage text printed without arguments is kept word
// for word; arguments added later are described below it under a heading of
// their own, so the old lines keep their place for anyone who reads them.
#include "frontend/help.h"

#include <cstring>

#include "frontend/cli.h"

namespace vorn {

namespace {

const char kFurther[] =
    "\n"
    "Further Options:\n"
    "    Recommended: vorn -refine [-Stn] source [destination]. The search's cover is refined\n"
    "    (1.00 x Espresso's literals on the benchmark set; -St bounds search and refinement);\n"
    "    the default run, one iteration without refinement, gives 1.13 x.\n"
    "    -h, --help   Prints this text to standard output\n"
    "    --version    Prints the version, the compiler and the build date\n"
    "    -seedN       Seeds the random source with N (0-4294967295) instead of the clock\n"
    "    -jN          Runs N minimizations at once, seeded S, S+1, ... (-seedS or the clock);\n"
    "                 the cheapest cover wins, ties go to the lowest seed\n"
    "    -q           Quiet: no banner, summary, step lines or status line\n"
    "    -statsFILE   Writes the figures of the run as JSON to FILE after the result\n"
    "    -stats-      Writes them to standard output (needs a destination file)\n"
    "    -            As source: reads the function from standard input;\n"
    "                 as destination: writes the result to standard output\n"
    "    -refine      Improves the best cover after the search, judging coverage minterm by minterm\n"
    "    -o TYPE      Writes the minimized result as TYPE: f, fd (both with 0, not ~), fr (with the\n"
    "                 off-set computed) or fdr (with don't-care set and off-set); also -oTYPE\n"
    "    -Tverify     vorn -Tverify SOURCE RESULT: checks that RESULT is a valid cover of SOURCE\n"
    "                 (exit 0 valid, 2 not valid, 1 errors)\n";

}  // namespace

const char* furtherOptionsText() { return kFurther; }

std::string helpText() { return std::string(usageText()) + kFurther; }

std::string compilerName() {
#if defined(__clang__)
  return std::string("Clang ") + __clang_version__;
#elif defined(__GNUC__)
  return std::string("GCC ") + __VERSION__;
#else
  return "an unknown compiler";
#endif
}

std::string isoDate(const std::string& compilerDate) {
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  if (compilerDate.size() != 11) return compilerDate;
  const char* hit = std::strstr(kMonths, compilerDate.substr(0, 3).c_str());
  if (!hit || (hit - kMonths) % 3 != 0) return compilerDate;
  const int month = static_cast<int>(hit - kMonths) / 3 + 1;
  std::string day = compilerDate.substr(4, 2);
  if (day[0] == ' ') day[0] = '0';
  return compilerDate.substr(7, 4) + "-" + (month < 10 ? "0" : "") + std::to_string(month) + "-" + day;
}

std::string versionText() {
  return "vorn 2.2 beta\ncompiled by " + compilerName() + " on " + isoDate(__DATE__) + "\n";
}

}  // namespace vorn
