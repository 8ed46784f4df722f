// Help and version.  The usage text printed without arguments is kept word
// for word; arguments added later are described below it under a heading of
// their own, so the old lines keep their place for anyone who reads them.
#include "frontend/help.h"

#include <cstring>

#include "frontend/cli.h"
#include "frontend/own_options.h"

namespace vorn {

namespace {

// The options listed before and after vorn's own, which come from their table.
const char kFurtherHead[] =
    "\n"
    "Further Options:\n"
    "    Recommended: vorn -refine [-Stn] source [destination]. The search's cover is refined\n"
    "    (1.00 x Espresso's literals on the benchmark set; -St bounds search and refinement);\n"
    "    the default run, one iteration without refinement, gives 1.13 x.\n"
    "    -h, --help   Prints this text to standard output (also -help)\n"
    "    --version    Prints the version, the compiler and the build date\n";
const char kFurtherTail[] =
    "    -            As source: reads the function from standard input (also without a source\n"
    "                 when standard input is no terminal); as destination: writes to standard output\n";

}  // namespace

std::string furtherOptionsText() { return kFurtherHead + ownOptionsHelp() + kFurtherTail; }

std::string helpText() { return usageText() + furtherOptionsText(); }

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
