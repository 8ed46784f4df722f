// The command line: the option grammar, the usage text, the banner and the
// run of one process (parse, load, summarise, dispatch).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/settings.h"

namespace vorn {

enum class RunMode { Minimize, Info, Check, Split, Minterm, Verify };

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
  bool hasDestination = false;  ///< a second path was given (-Tverify reads it as the result)
  std::optional<std::uint32_t> seed;  ///< -seedN; none: the clock seeds the run
  int jobs = 1;                       ///< -jN: independent runs at once
  std::optional<int> outputType;      ///< -oTYPE: the type a minimized result is written in; none: fd with '~'
  Settings settings;                  ///< the options of the run, as parsed
  WriterOptions writer;               ///< how results are written (no option changes it)
};

/// \brief The usage text, line by line.
const char* usageText();
/// \brief Parses the arguments (program name excluded), the settings included; ends the run on a fatal option.
CommandLine parseArguments(const std::vector<std::string>& args);
/// \brief One whole run of the program; returns the exit code.
int runMain(int argc, char** argv);

}  // namespace vorn
