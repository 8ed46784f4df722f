// Runs stopped by quality alone must end even when the quality limit can
// never be met; each run is watched with a timeout far above its normal time.
#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;

namespace {

const char kOnlyOffSet[] = ".i 2\n.o 2\n.type fr\n00 00\n11 0~\n";

test::ChildRun& finish(test::ChildRun& run) {
  EXPECT_TRUE(run.waitFor(10)) << "the run did not end";
  return run;
}

}  // namespace

TEST(RunEnd, SourceWithoutOnSetEndsOnItsEmptyCover) {
  const std::string src = test::writeFile(test::tempPath("offonly.pla"), kOnlyOffSet);
  for (const char* option : {"-Sq0", "-Sq-1", "-Sn3"}) {
    test::ChildRun run({option, src});
    finish(run);
    EXPECT_EQ(run.exitCode(), 0) << option << run.err();
    EXPECT_NE(run.err().find("Terms: 0\nLiterals: 0\n"), std::string::npos) << option << run.err();
    EXPECT_NE(run.out().find(".p 0\n"), std::string::npos) << option << run.out();
  }
  // A reachable limit is met at once, in the first iteration.
  test::ChildRun quick({"-Sq0", src});
  finish(quick);
  EXPECT_NE(quick.err().find("Iterations: 1\n"), std::string::npos) << quick.err();
}

TEST(RunEnd, UnreachableQualityEndsOnceNoNewCoverComes) {
  const std::string text = test::readFile(std::string(VORN_SOURCE_DIR) + "/examples/adder.pla");
  const std::string src = test::writeFile(test::tempPath("adder.pla"), text);
  const std::string dst = test::tempPath("adder_out.pla");
  test::ChildRun run({"-Sq0", src, dst});
  finish(run);
  ASSERT_EQ(run.exitCode(), 0) << run.err();
  auto source = test::pla(text);
  auto result = test::pla(test::readFile(dst));
  EXPECT_EQ(test::checkCover(*source, *result), "");
  std::remove(dst.c_str());
}
