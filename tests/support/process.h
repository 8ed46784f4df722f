// Runs the built program as a subprocess and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace vorn::test {

struct RunResult {
  int exitCode = -1;
  std::string out;  ///< standard output
  std::string err;  ///< standard error
};

/// \brief Runs the vorn program with the arguments; captures both streams and the exit code.
RunResult runVorn(const std::vector<std::string>& args);
/// \brief Runs the vorn program with `input` as its standard input.
RunResult runVornFed(const std::vector<std::string>& args, const std::string& input);
/// \brief Runs the vorn program with a terminal (a pseudo-terminal) as its standard input; a run
/// still going after 10 s (waiting for typed input) is killed and reported with exit code -1.
RunResult runVornOnTerminal(const std::vector<std::string>& args);
/// \brief A fresh path in the test temp directory, with the given file name.
std::string tempPath(const std::string& name);
/// \brief Writes text to a file; returns the path.
std::string writeFile(const std::string& path, const std::string& text);
/// \brief The whole content of a file, or "<missing>" when it cannot be read.
std::string readFile(const std::string& path);
/// \brief The banner line pair every run starts with.
std::string banner();

}  // namespace vorn::test
