// The -refine option through the program: with every other option the
// written result is a valid cover and the report gives its figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/cost.h"
#include "model/pla.h"
#include "support/oracle.h"
#include "support/process.h"

namespace vorn {
namespace {

const char kUnionOnly[] = ".i 3\n.o 1\n.type fr\n11- 1\n100 1\n011 1\n101 0\n010 0\n00- 0\n.e\n";

int reported(const std::string& err, const std::string& label) {
  const std::size_t at = err.find("\n" + label + ": ");
  if (at == std::string::npos) return -1;
  return std::stoi(err.substr(at + label.size() + 3));
}

TEST(RefineOption, GivesTheTwoTermCoverOfATermOnlyAUnionCovers) {
  const std::string src = test::writeFile(test::tempPath("union_only.pla"), kUnionOnly);
  const std::string dst = test::tempPath("union_only_out.pla");
  const test::RunResult r = test::runVorn({"-refine", "-Si2", src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ReadResult got = read(dst);
  ASSERT_TRUE(got.function);
  FunctionPtr f = test::pla(kUnionOnly);
  EXPECT_EQ(test::checkCover(*f, *got.function), "");
  EXPECT_EQ(got.function->termCount, 2);
  EXPECT_EQ(reported(r.err, "Terms"), 2);
  EXPECT_EQ(reported(r.err, "Literals"), 4);
}

TEST(RefineOption, WorksWithEveryOtherOptionAndReportsTheWrittenFile) {
  FunctionPtr f = test::randomFr(4242, 8, 3, 35);
  const std::string src = test::writeFile(test::tempPath("refine_many.pla"), formatPla(*f));
  const std::vector<std::vector<std::string>> runs = {
      {"-single"}, {"-endcov", "-Si3"}, {"-Qt"}, {"-Ql"}, {"-Qo"}, {"-Qb"}, {"-Qg"}, {"-QG"},
      {"-St0.3"},  {"-SD", "-Si2"},     {"-single", "-Qo"}, {"-CP2", "-Sn2"}};
  for (const auto& options : runs) {
    std::vector<std::string> args = options;
    std::string what;
    for (const std::string& o : options) what += o + " ";
    const std::string dst = test::tempPath("refine_many_out.pla");
    args.push_back("-refine");
    args.push_back(src);
    args.push_back(dst);
    const test::RunResult r = test::runVorn(args);
    ASSERT_EQ(r.exitCode, 0) << what << r.err;
    ReadResult got = read(dst);
    ASSERT_TRUE(got.function) << what;
    EXPECT_EQ(test::checkCover(*f, *got.function), "") << what;
    computeStatistics(*got.function);
    EXPECT_EQ(reported(r.err, "Terms"), got.function->terms) << what;
    EXPECT_EQ(reported(r.err, "Literals"), got.function->literals) << what;
    EXPECT_EQ(reported(r.err, "Output cost"), got.function->outputCost) << what;
    if (options[0] == "-single")
      forEachTerm(*got.function, [&](const TPfnct& t) { EXPECT_EQ(std::count(t.output.begin(), t.output.end(), '1'), 1); });
  }
}

TEST(RefineOption, OtherWordsOnTheLetterAreUnknownParameters) {
  const std::string src = test::writeFile(test::tempPath("refine_unknown.pla"), kUnionOnly);
  const test::RunResult r = test::runVorn({"-refin", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Unknown parameter -refin\n"), std::string::npos);
}

}  // namespace
}  // namespace vorn
