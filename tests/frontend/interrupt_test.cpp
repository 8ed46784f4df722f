// A run stopped by SIGINT or SIGTERM writes its best cover as a normal end
// would, says it was interrupted and exits with 128 + the signal; a signal
// after the outcome is settled never makes the exit code deny the statistics.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontend/interrupts.h"
#include "model/destination_file.h"

#include "support/child_process.h"
#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;

namespace {

void interruptAndCheck(int sig, const char* name) {
  const std::string text = test::readFile(std::string(VORN_SOURCE_DIR) + "/examples/adder.pla");
  const std::string src = test::writeFile(test::tempPath(std::string("int_") + name + ".pla"), text);
  const std::string dst = test::tempPath(std::string("int_") + name + "_out.pla");
  // Far more iterations than the test waits for: only the signal ends it.
  test::ChildRun run({"-Si2000000000", "-seed7", src, dst});
  ASSERT_TRUE(run.waitForError("step started", 10)) << run.err();
  run.signal(sig);
  ASSERT_TRUE(run.waitFor(10)) << "the interrupted run did not end";
  EXPECT_EQ(run.exitCode(), 128 + sig) << run.err();
  EXPECT_NE(run.err().find(std::string("Interrupted: the run stopped on ") + name), std::string::npos) << run.err();
  EXPECT_NE(run.err().find("Literals: "), std::string::npos) << run.err();
  auto source = test::pla(text);
  auto result = test::pla(test::readFile(dst));
  ASSERT_TRUE(result);
  EXPECT_EQ(test::checkCover(*source, *result), "");
  std::remove(dst.c_str());
}

}  // namespace

TEST(Interrupts, SigintWritesTheBestCoverAndExits130) { interruptAndCheck(SIGINT, "SIGINT"); }

TEST(Interrupts, SigtermWritesTheBestCoverAndExits143) { interruptAndCheck(SIGTERM, "SIGTERM"); }

// ---- the outcome settled before the statistics tell it ----------------------

TEST(Interrupts, ASignalAfterTheOutcomeIsSettledChangesNothing) {
  InterruptGuard guard;
  EXPECT_EQ(guard.settle(AfterSettling::Ignore), 0);
  std::raise(SIGINT);  // this test process must survive it
  std::raise(SIGTERM);
  EXPECT_EQ(guard.signal(), 0);
  EXPECT_FALSE(guard.flag()->load());
}

TEST(Interrupts, ASignalBeforeSettlingIsTheOutcome) {
  InterruptGuard guard;
  std::raise(SIGTERM);
  EXPECT_EQ(guard.settle(AfterSettling::Ignore), SIGTERM);
  std::raise(SIGINT);  // neither the process nor the outcome changes
  EXPECT_EQ(guard.signal(), SIGTERM);
}

TEST(InterruptsDeathTest, ASignalWhileTheStatisticsGoToAStreamEndsTheProcessSayingSo) {
  EXPECT_EXIT(
      {
        InterruptGuard guard;
        guard.settle(AfterSettling::EndAtOnce);
        std::raise(SIGTERM);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(128 + SIGTERM), "SIGTERM came while the statistics were written; they are cut short");
}

// A special mode takes the first signal as the end, unless its result is already in place:
// then the work is done and saying "nothing is written" would be false.
TEST(InterruptsDeathTest, ASpecialModeSignalledBeforeItsResultEndsWritingNothing) {
  EXPECT_EXIT(
      {
        InterruptGuard guard(OnSignal::ExitAtOnce);
        std::raise(SIGINT);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(128 + SIGINT), "the run stopped on SIGINT; nothing is written");
}

TEST(InterruptsDeathTest, ASpecialModeSignalledAfterItsResultIsInPlaceEndsWithSuccess) {
  const std::string path = test::tempPath("special_mode_result.pla");
  EXPECT_EXIT(
      {
        InterruptGuard guard(OnSignal::ExitAtOnce);
        std::string error;
        if (!writeDestination(path, ".i 1\n.o 1\n1 1\n.e\n", error)) {
          std::_Exit(3);
        }
        std::raise(SIGTERM);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(test::readFile(path), ".i 1\n.o 1\n1 1\n.e\n");
  std::remove(path.c_str());
}

namespace {

// True once the process is blocked writing to its standard output, as
// /proc/PID/syscall shows; false after `seconds`.
bool blockedWritingStdout(pid_t pid, double seconds) {
  const std::string prefix = std::to_string(SYS_write) + " 0x1 ";
  for (int k = 0; k < static_cast<int>(seconds * 100); ++k) {
    const std::string now = test::readFile("/proc/" + std::to_string(pid) + "/syscall");
    if (now.compare(0, prefix.size(), prefix) == 0) return true;
    ::usleep(10000);
  }
  return false;
}

}  // namespace

// The statistics go to a pipe whose reader reads nothing: the write blocks,
// and SIGTERM must still end the process, without statistics that claim the
// run was not interrupted, and with the cover already written whole.
TEST(Interrupts, SigtermWhileTheStatisticsAreStuckOnStandardOutputEndsTheRun) {
  if (::access("/proc/self/syscall", R_OK) != 0) GTEST_SKIP() << "no /proc/PID/syscall to see the blocked write";
  const std::string text = test::readFile(std::string(VORN_SOURCE_DIR) + "/examples/adder.pla");
  const std::string src = test::writeFile(test::tempPath("int_stuck.pla"), text);
  const std::string dst = test::tempPath("int_stuck_out.pla");
  const std::string err = test::tempPath("int_stuck_err.txt");
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  // Fill the pipe so that the first byte of the statistics blocks.
  ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  std::size_t filled = 0;
  const std::string block(4096, 'x');
  for (ssize_t n; (n = ::write(fds[1], block.data(), block.size())) > 0;) filled += static_cast<std::size_t>(n);
  ::fcntl(fds[1], F_SETFL, 0);
  std::vector<std::string> argv{VORN_BINARY, "-q", "-Si1", "-seed1", "-stats-", src, dst};
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (e < 0) _exit(127);
    ::dup2(fds[1], 1);
    ::dup2(e, 2);
    ::close(fds[0]);
    ::execv(cargs[0], cargs.data());
    _exit(127);
  }
  ::close(fds[1]);
  const bool blocked = blockedWritingStdout(pid, 20);
  ::kill(pid, SIGTERM);
  // The pipe is read only once the process has ended (or failed to end): a
  // reader draining it meanwhile would let the statistics out.
  int status = 0;
  bool ended = false;
  for (int k = 0; k < 1000 && !ended; ++k) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) ::usleep(10000);
  }
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  if (!ended) {
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  }
  ASSERT_TRUE(blocked) << "the run never blocked on its statistics";
  ASSERT_TRUE(ended) << "SIGTERM did not end a process stuck on its statistics";
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal's default action";
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  const std::string said = test::readFile(err);
  EXPECT_NE(said.find("SIGTERM came while the statistics were written; they are cut short"), std::string::npos)
      << said;
  EXPECT_EQ(out, std::string(filled, 'x')) << "the statistics came out although nobody read them";
  auto source = test::pla(text);
  auto result = test::pla(test::readFile(dst));
  ASSERT_TRUE(result);
  EXPECT_EQ(test::checkCover(*source, *result), "");
  std::remove(dst.c_str());
  std::remove(err.c_str());
}
