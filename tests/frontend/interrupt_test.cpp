// A run stopped by SIGINT or SIGTERM writes its best cover as a normal end
// would, says it was interrupted and exits with 128 + the signal.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

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
