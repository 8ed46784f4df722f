#include "support/process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
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

RunResult runVornOnTerminal(const std::vector<std::string>& args) {
  RunResult r;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return r;
  }
  const std::string terminal = ::ptsname(master);
  const std::string out = tempPath("tty_stdout.txt"), err = tempPath("tty_stderr.txt");
  std::vector<std::string> argvText{VORN_BINARY};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();
    const int in = ::open(terminal.c_str(), O_RDWR);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
    ::close(master);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  bool ended = false;
  for (int waited = 0; waited < 1000 && !ended; ++waited) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  ::close(master);
  r.exitCode = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readFile(out);
  r.err = readFile(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

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
