// A seeded random tester for the whole program.  From a seed it makes either
// a well-formed fr function (a random truth table written as merged cubes in
// the many spellings the PLA reader accepts) with a random option set, or a
// malformed/hostile file with a random mode.  It runs the real program as a
// subprocess in a private directory with a time limit and judges the run:
// exit code, message, leftover files and, for minimization, the validity of
// the written cover by a brute-force minterm check plus the agreement of the
// report with the file.  A failing case is shrunk line by line and option by
// option so that it can be pasted into a regression test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorn::fuzz {

/// One run of the program: the source text, the options in front of the paths,
/// whether a destination path is given.
struct Case {
  std::string text;
  std::vector<std::string> options;
  bool withDestination = true;
  bool wellFormed = false;  ///< made from a truth table: a minimization must succeed
  std::vector<std::string> expectedInputs, expectedOutputs;  ///< the generator's terms, when well-formed
  int inputs = 0, outputs = 0;
  std::string type = "fr";  ///< the type the well-formed text declares
  bool viaStdin = false;    ///< the source goes to standard input, named "-"
};

/// What the subprocess did.
struct Outcome {
  int exitCode = -1;        ///< -1 when it did not exit normally
  int signal = 0;           ///< the terminating signal, if any
  bool timedOut = false;
  std::string out, err;     ///< standard output and standard error
  std::string result;       ///< the destination file's text, when it exists
  bool resultExists = false;
  std::vector<std::string> strayFiles;  ///< files in the run directory beyond the source, destination and statistics
  std::string statistics;               ///< the text of stats.json, when the run wrote it
};

/// \brief Runs the program on the case in a fresh directory, killing it after timeoutSeconds.
Outcome runCase(const Case& c, double timeoutSeconds);

/// \brief A well-formed consistent fr function with random options, from the seed.
Case wellFormedCase(std::uint64_t seed);
/// \brief A malformed or hostile file with a random mode, from the seed.
Case hostileCase(std::uint64_t seed);

/// \brief Empty when the outcome is acceptable for the case; otherwise a short fault description
/// whose first word names the kind of fault.
std::string judge(const Case& c, const Outcome& o);

/// \brief Runs and judges the case; empty when it passes.
std::string check(const Case& c, double timeoutSeconds);

/// \brief Drops lines, options and halves long lines while `fails` still holds.
Case shrinkWhile(const Case& c, const std::function<bool(const Case&)>& fails);
/// \brief Shrinks a case while the program still shows a fault of the same kind.
Case shrink(const Case& c, const std::string& fault, double timeoutSeconds);

/// \brief The case as text fit for a bug report or a regression test.
std::string describe(const Case& c);

/// \brief Where the program's binary is.
const char* binaryPath();

}  // namespace vorn::fuzz
