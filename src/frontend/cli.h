// The command line: the option grammar, the usage text, the banner and the
// run of one process (parse, load, summarise, dispatch).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

enum class RunMode { Minimize, Info, Check, Split, Minterm };

/// What the user asked to see instead of a run (-h, --help, --version).
enum class Request { None, Help, Version };

struct CommandLine {
  RunMode mode = RunMode::Minimize;
  Request request = Request::None;  ///< set: parsing stopped at that argument
  bool quiet = false;               ///< -q
  std::optional<std::string> statsPath;  ///< -statsFILE; "-": standard output
  bool hasSource = false;
  std::string source;       ///< "-": standard input
  std::string destination;  ///< empty: standard output (also given as "-")
  std::optional<std::uint32_t> seed;  ///< -seedN; none: the clock seeds the run
  int jobs = 1;                       ///< -jN: independent runs at once
};

/// \brief The usage text, line by line.
const char* usageText();
/// \brief Parses the arguments (program name excluded) into the settings; ends the run on a fatal option.
CommandLine parseArguments(const std::vector<std::string>& args);
/// \brief One whole run of the program; returns the exit code.
int runMain(int argc, char** argv);

}  // namespace vorn
