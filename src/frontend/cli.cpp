#include "frontend/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <new>

#include "driver/source_check.h"
#include "frontend/actions.h"
#include "frontend/console.h"
#include "frontend/exit.h"
#include "frontend/help.h"
#include "frontend/interrupts.h"
#include "frontend/own_options.h"
#include "model/cost.h"
#include "model/numbers.h"
#include "model/pla.h"
#include "model/settings.h"

namespace vorn {

namespace {

const char kUsage[] =
    "syntax: VORN [options] source [destination]\n"
    "Minimization Options:\n"
    "    -FRn  Define FC-Min:CD-search ratio n (0-100), 0 is default\n"
    "    -DFn  Define the FC-Min Depth Factor, 10 is default\n"
    "    -DDx  Define the FC-Min Depth Factor Direction\n"
    "             0   DF = 1:n (from -DFn)\n"
    "             1   DF = n:1 (from -DFn), default\n"
    "    -CMn  Define CD-search mutations ratio n (0-100)\n"
    "    -RMn  Define implicant reduction mutations ratio n (0-100)\n"
    "    -Ex   Select implicant expansion type:\n"
    "             0   Sequential search\n"
    "             1   Distributed multiple IE\n"
    "             2   Distributed exhaustive IE\n"
    "             3   Multiple IE (default)\n"
    "             4   Exhaustive IE\n"
    "    -CPx  Select the covering problem solution algorithm:\n"
    "             0   LCMC\n"
    "             1   Contributive selection (default)\n"
    "             2   Contributive removal\n"
    "             3   Exact cover\n"
    "    -Sxn  Define stopping criterion x of value n:\n"
    "             t   stop after n seconds\n"
    "             i   stop after n iterations (default is Si1)\n"
    "             n   stopping interval equal to n\n"
    "             q   stop when quality of solution meets n\n"
    "    -Qx   Define optimization criterion x:\n"
    "             t   terms\n"
    "             l   literals\n"
    "             o   output cost\n"
    "             b   literals+output cost (default)\n"
    "             g   number of gates\n"
    "             G   number of gate equivalents\n"
    "    -single   Single-output minimization\n"
    "    -endcov   Cover at the end only\n"
    "    -SD   Substitute output don't cares\n"
    "\n"
    "Special Functions (cannot be combined with minimization):\n"
    "    -info        Prints the information about the PLA function (for fr type only)\n"
    "    -Tcheck      Checks the input function for consistence\n"
    "    -Tsplit      Splits intersecting terms\n"
    "    -Tminterm    Splits function into minterms\n";

const char kStandardStream[] = "-";

const char kBanner[] = "VORN 2.2 beta - two-level logic minimizer (linux)\n\n";

[[noreturn]] void unknownOption(char letter) { fail(std::string("Unknown option ") + letter + "\n"); }

// The argument's characters from index i on ("" when it is shorter).
std::string_view from(const std::string& arg, std::size_t i) {
  return i < arg.size() ? std::string_view(arg).substr(i) : std::string_view();
}

char at(const std::string& arg, std::size_t i) { return i < arg.size() ? arg[i] : '\0'; }

[[noreturn]] void unknownParameter(const std::string& arg) { fail("Unknown parameter " + arg + "\n"); }

/// Edits (insertions, deletions, substitutions) that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = up;
    }
  }
  return row[b.size()];
}

// A mistyped word used to be skipped, so the run went on without it and wrote
// its result: a misspelt mode then overwrote the destination with a minimized
// cover.  It ends the run now, naming the word it most likely meant.
[[noreturn]] void mistypedWord(const std::string& arg) {
  std::vector<const char*> words = {"-single", "-info", "-Tcheck", "-Tsplit", "-Tminterm"};
  for (const OwnOption& o : ownOptions()) words.push_back(o.name);
  const char* nearest = nullptr;
  std::size_t best = 3;  // further than two edits away is no typo
  for (const char* w : words)
    if (const std::size_t d = editDistance(arg, w); d < best) best = d, nearest = w;
  fail("Unknown parameter " + arg + (nearest ? std::string(" (did you mean ") + nearest + "?)" : "") + "\n");
}

/// The options of another PLA minimizer that users bring along, with vorn's nearest counterpart.
const char* otherMinimizersOption(const std::string& arg) {
  static const std::pair<const char*, const char*> kOptions[] = {
      {"-Dexact", "-exact (exact minimization)"},
      {"-Dqm", "-exact (exact minimization)"},
      {"-S1", "-exact (exact minimization)"},
      {"-Dverify", "-Tverify SOURCE RESULT (checks that RESULT is a valid cover of SOURCE)"},
      {"-Dequiv", "-Tverify SOURCE RESULT (checks that RESULT is a valid cover of SOURCE)"},
      {"-Dso", "-single (single-output minimization)"},
      {"-Dso_both", "-single (single-output minimization)"},
      {"-DPLAverify", "-Tverify SOURCE RESULT (checks that RESULT is a valid cover of SOURCE)"},
      {"-Dstats", "-info (the cost figures of the function)"},
      {"-Decho", "-o TYPE (writes the function in that type)"},
      {"-Dcheck", "-Tcheck (checks the function for consistency)"},
      {"-Ddisjoint", "-Tsplit (splits intersecting terms)"},
      {"-Dminterms", "-Tminterm (splits the function into minterms)"},
      {"-Dprimes", "-exact (works from all prime implicants)"},
      {"-Dmincov", "-exact (a minimum cover of the prime implicants)"},
      {"-Dessen", "-exact (a minimum cover of the prime implicants)"},
      {"-Dsimplify", "the default run (one iteration, no refinement)"},
      {"-Dd1merge", "the default run (one iteration, no refinement)"},
      {"-Despresso", "-refine (improves the cover after the search; -St for a time budget)"},
      {"-Dexpand", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-Dirred", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-Dreduce", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-Dgasp", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-Dsuper_gasp", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-efast", "the default run (one iteration, no refinement)"},
      {"-estrong", "-refine (improves the cover after the search; -St for a time budget)"},
      {"-eness", "-refine (improves the cover after the search)"},
      {"-enirr", "the default run (one iteration, no refinement)"},
      {"-enunwrap", "the default run (one iteration, no refinement)"},
      {"-x", "a destination (vorn SOURCE RESULT writes the result to RESULT, not standard output)"},
      {"-s", "-statsFILE (the run's figures as JSON; the report on standard error is always printed)"},
      {"-t", "-statsFILE (the run's figures as JSON; the report on standard error is always printed)"},
  };
  for (const auto& [option, nearest] : kOptions)
    if (arg == option) return nearest;
  return nullptr;
}

void parseOption(const std::string& arg, CommandLine& cl) {
  Settings& s = cl.settings;
  RunMode& mode = cl.mode;
  const char variant = at(arg, 2);
  switch (at(arg, 1)) {
    case 'C':
      if (variant == 'M')
        s.cdMutationRatio = parseInt(from(arg, 3));
      else if (variant == 'P')
        s.cpMethod = parseInt(from(arg, 3));
      else
        unknownOption('C');
      return;
    case 'D':
      if (variant == 'D')
        s.dfDirection = parseInt(from(arg, 3));
      else if (variant == 'F')
        s.depthFactor = parseInt(from(arg, 3));
      else
        unknownOption('D');
      return;
    case 'F':
      if (variant != 'R') unknownOption('F');
      s.fcMinRatio = parseInt(from(arg, 3));
      return;
    case 'R':
      if (variant != 'M') unknownOption('R');
      s.irMutationRatio = parseInt(from(arg, 3));
      return;
    case 'Q': {
      const char* letters = "tlobgG";
      const char* hit = variant ? std::strchr(letters, variant) : nullptr;
      if (!hit) unknownOption('Q');
      s.criterion = static_cast<int>(hit - letters);
      return;
    }
    case 'S':
      switch (variant) {
        case 'D': s.substituteOutputDc = 1; return;
        case 't': s.stopOnTime = 1; s.timeLimit = static_cast<float>(parseReal(from(arg, 3))); return;
        case 'i': s.stopOnIterations = 1; s.iterationLimit = parseInt(from(arg, 3)); return;
        case 'n': s.stopOnInterval = 1; s.intervalFactor = parseInt(from(arg, 3)); return;
        case 'q': s.stopOnQuality = 1; s.qualityLimit = parseInt(from(arg, 3)); return;
        default: unknownOption('S');
      }
    case 'E':
      s.ieMethod = parseInt(from(arg, 2));
      return;
    case 'e':
      if (arg != "-endcov") fail("Unknown parameter- " + arg + "\n");
      s.coverAtEnd = 1;
      return;
    case 's':
    case 'i':
    case 'T':
      if (arg == "-single")
        s.singleOutput = 1;
      else if (arg == "-info")
        mode = RunMode::Info;
      else if (arg == "-Tcheck")
        mode = RunMode::Check;
      else if (arg == "-Tsplit")
        mode = RunMode::Split;
      else if (arg == "-Tminterm")
        mode = RunMode::Minterm;
      else
        mistypedWord(arg);
      return;
    case 'h':
      if (arg != "-h" && arg != "-help") unknownParameter(arg);
      cl.request = Request::Help;
      return;
    case '-':
      if (arg == "--help")
        cl.request = Request::Help;
      else if (arg == "--version")
        cl.request = Request::Version;
      else
        unknownParameter(arg);
      return;
    default:
      unknownParameter(arg);
  }
}

}  // namespace

ReadResult loadFunction(const std::string& source) {
  if (source != kStandardStream) return read(source);
  std::ostringstream text;
  text << std::cin.rdbuf();  // an empty stream leaves the text empty: no term, no function
  ReadResult r;
  if (std::cin.bad()) {
    r.reason = "cannot read standard input";
    return r;
  }
  r = readText(text.str());
  if (!r.function && r.error.empty()) r.reason = "standard input " + r.reason;
  if (!r.error.empty()) r.error = "standard input: " + r.error;
  for (std::string& w : r.warnings) w = "standard input: " + w;
  return r;
}

namespace {

void printSummary(const TBoolFnct& f) {
  std::fprintf(stderr, "Function type: %s\nInput variables: %i\nOutput variables: %i\nDefined terms: %i\n\n",
               typeName(f.type), f.inputCount, f.outputCount, f.termCount);
}

}  // namespace

const char* usageText() { return kUsage; }

CommandLine parseArguments(const std::vector<std::string>& args) {
  CommandLine cl;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (const char* nearest = otherMinimizersOption(arg)) {
      fail(arg + " is another minimizer's option; vorn's nearest is " + nearest + "\n");
    } else if (parseOwnOption(args, i, cl)) {
      continue;
    } else if (arg != kStandardStream && !arg.empty() && arg[0] == '-') {
      // "-St 5" would stop at once and write the result to a file named 5.
      if (arg.size() == 3 && arg[1] == 'S' && std::strchr("tinq", arg[2]) && i + 1 < args.size() &&
          !args[i + 1].empty() && std::isdigit(static_cast<unsigned char>(args[i + 1][0])))
        fail(arg + " takes its number glued to it: " + arg + args[i + 1] + "\n");
      parseOption(arg, cl);
      if (cl.request != Request::None) break;  // what was asked for replaces the run
    } else if (!cl.hasSource) {
      cl.source = arg;  // a lone '-' as the source: standard input
      cl.hasSource = true;
    } else if (!cl.hasDestination) {
      cl.destination = arg == kStandardStream ? std::string() : arg;  // '-': standard output
      cl.hasDestination = true;
    } else {
      // A third path used to replace the destination, so `vorn f.pla out.pla -St 1`
      // wrote its result to a file named 1.
      fail("unexpected argument " + arg + " (vorn takes one source and one destination)\n");
    }
  }
  return cl;
}

int runMain(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // -q silences the banner too, which comes before the arguments are parsed.
  Console console(std::find(args.begin(), args.end(), "-q") != args.end());
  FunctionPtr loaded, result;
  try {
    if (!console.quiet()) std::fputs(kBanner, stderr);
    CommandLine cl = parseArguments(args);
    if (cl.request != Request::None) {
      std::fputs((cl.request == Request::Help ? helpText() : versionText()).c_str(), stdout);
      std::fflush(stdout);
      if (std::ferror(stdout)) fail("Cannot write to standard output\n");
      return 0;
    }
    // Without a source the function comes from standard input, unless that
    // is a terminal: then the user is shown how to name one.
    if (!cl.hasSource && ::isatty(STDIN_FILENO)) fail(kUsage, 0);
    if (!cl.hasSource) cl.source = kStandardStream, cl.hasSource = true;
    // From here on a signal never leaves a temporary file nor ends a cut-short run as a success.
    const InterruptGuard interrupts(cl.mode == RunMode::Minimize ? OnSignal::RaiseFlag : OnSignal::ExitAtOnce);
    if (!console.quiet()) std::fprintf(stderr, "Input function: %s\n", cl.source.c_str());
    if (cl.mode == RunMode::Verify && !cl.hasDestination)
      fail("-Tverify needs a source and a result: vorn -Tverify SOURCE RESULT\n");
    ReadResult r = loadFunction(cl.source);
    if (!r.error.empty()) fail(r.error + "\n");
    if (!r.function) fail("File not found\n" + r.reason + "\n");
    loaded = std::move(r.function);
    if (!console.quiet())
      for (const std::string& w : r.warnings) std::fprintf(stderr, "%s\n", w.c_str());
    // '~' says nothing about an input: no mode can give such a cube a meaning.
    if (auto k = findTildeInput(*loaded))
      fail((cl.source == kStandardStream ? std::string("standard input") : cl.source) + ": the input part of term " +
           std::to_string(*k + 1) + " holds '~'\n");
    if (!console.quiet()) printSummary(*loaded);
    if (::isatty(STDERR_FILENO)) console.showStatusLine();
    const ProgressHooks progress = console.progressHooks(cl.settings);
    switch (cl.mode) {
      case RunMode::Minimize: runMinimize(*loaded, cl, console); break;
      case RunMode::Info: runInfo(*loaded); break;
      case RunMode::Check: runCheck(*loaded, progress); break;
      case RunMode::Split: runSplit(*loaded, cl, progress); break;
      case RunMode::Minterm: result = runMinterm(*loaded, cl, progress); break;
      case RunMode::Verify: runVerify(*loaded, cl, console); break;
    }
  } catch (const ExitRequest& e) {
    result.reset();
    loaded.reset();
    console.clearStatusLine();
    std::fputs(e.message.c_str(), stderr);
    std::fflush(stderr);
    return e.code;
  } catch (const std::bad_alloc&) {
    // A function too large for this machine (say -Tminterm on 28 inputs):
    // a message and a failure code, never an abort.  Nothing was written.
    result.reset();
    loaded.reset();
    console.clearStatusLine();
    std::fputs("Out of memory\n", stderr);
    return 1;
  }
  // Derived functions borrow the loaded function's labels: release them first.
  result.reset();
  loaded.reset();
  return 0;
}

void fail(const std::string& message, int code) { throw ExitRequest{code, message}; }

void writeResult(const TBoolFnct& f, const std::string& destination, const WriterOptions& options) {
  std::string error;
  if (!write(f, destination, error, options)) fail(error + "\n");
}

}  // namespace vorn
