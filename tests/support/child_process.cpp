#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "support/process.h"

namespace vorn::test {

namespace {
int counter = 0;
}

ChildRun::ChildRun(const std::vector<std::string>& args) {
  const std::string tag = "child" + std::to_string(counter++);
  outPath_ = tempPath(tag + "_stdout.txt");
  errPath_ = tempPath(tag + "_stderr.txt");
  std::vector<std::string> argv{VORN_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execv(cargs[0], cargs.data());
    _exit(127);
  }
}

ChildRun::~ChildRun() {
  if (pid_ > 0 && exitCode_ < 0) {
    ::kill(pid_, SIGKILL);
    int status;
    ::waitpid(pid_, &status, 0);
  }
  std::remove(outPath_.c_str());
  std::remove(errPath_.c_str());
}

bool ChildRun::poll() {
  if (exitCode_ >= 0) return true;
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  killedBySignal_ = WIFSIGNALED(status);
  return true;
}

bool ChildRun::waitFor(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!poll()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool ChildRun::waitForError(const std::string& text, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    const bool ended = poll();
    if (err().find(text) != std::string::npos) return true;
    if (ended || std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void ChildRun::signal(int sig) {
  if (pid_ > 0 && exitCode_ < 0) ::kill(pid_, sig);
}

std::string ChildRun::out() const { return readFile(outPath_); }
std::string ChildRun::err() const { return readFile(errPath_); }

}  // namespace vorn::test
