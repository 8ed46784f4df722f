// Runs the built program as a child the test can watch, time out and signal,
// for runs that must end on their own or be interrupted while they work.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vorn::test {

class ChildRun {
 public:
  /// \brief Starts the vorn program with the arguments; both streams go to files of the test.
  explicit ChildRun(const std::vector<std::string>& args);
  /// \brief Kills the child when it still runs and removes the captured streams.
  ~ChildRun();
  ChildRun(const ChildRun&) = delete;
  ChildRun& operator=(const ChildRun&) = delete;

  /// \brief True when the child ended within `seconds`.
  bool waitFor(double seconds);
  /// \brief True when standard error holds `text` within `seconds` (false also when the child ended without it).
  bool waitForError(const std::string& text, double seconds);
  /// \brief Sends a signal to the child.
  void signal(int sig);
  /// \brief The exit code once ended; 128 + the signal when a signal ended it; -1 while running.
  int exitCode() const { return exitCode_; }
  /// \brief True when the signal's default action ended the child (no handler of its own took it).
  bool killedBySignal() const { return killedBySignal_; }
  std::string out() const;
  std::string err() const;

 private:
  bool poll();
  pid_t pid_ = -1;
  int exitCode_ = -1;
  bool killedBySignal_ = false;
  std::string outPath_, errPath_;
};

}  // namespace vorn::test
