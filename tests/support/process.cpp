#include "support/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vorn::test {

namespace {
std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

RunResult runWithStdin(const std::vector<std::string>& args, const std::string& stdinPath) {
  const std::string out = tempPath("stdout.txt"), err = tempPath("stderr.txt");
  std::string cmd = quote(VORN_BINARY);
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(out) + " 2>" + quote(err) + " <" + quote(stdinPath);
  const int status = std::system(cmd.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readFile(out);
  r.err = readFile(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}
}  // namespace

RunResult runVorn(const std::vector<std::string>& args) { return runWithStdin(args, "/dev/null"); }

RunResult runVornFed(const std::vector<std::string>& args, const std::string& input) {
  const std::string in = writeFile(tempPath("stdin.txt"), input);
  RunResult r = runWithStdin(args, in);
  std::remove(in.c_str());
  return r;
}

namespace {
/// The test process's own folder for the files it writes, made on first use and removed with
/// everything in it when the process ends, so no run leaves files beside other programs' files.
class ProcessTempDir {
 public:
  ProcessTempDir() {
    std::string pattern = testing::TempDir() + "vorn_test_XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern + "/";
    else path_ = testing::TempDir() + "vorn_" + std::to_string(::getpid()) + "_";
  }
  ~ProcessTempDir() {
    if (path_.empty() || path_.back() != '/') return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
}  // namespace

std::string tempPath(const std::string& name) {
  static const ProcessTempDir dir;
  return dir.path() + name;
}

std::string writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string banner() { return "VORN 2.2 beta - two-level logic minimizer (linux)\n\n"; }

}  // namespace vorn::test
