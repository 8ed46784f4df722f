// The -exact option through the program: the verdict line before the
// figures, a valid written cover under every criterion, the stopped run's
// lower bound, the statistics' exact part, and the refusal of a source whose
// off-set cannot be computed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/cost.h"
#include "model/pla.h"
#include "support/json_value.h"
#include "support/oracle.h"
#include "support/process.h"

namespace vorn {
namespace {

// Minterms 0, 1, 2, 5, 6, 7 of three inputs: a cyclic function of minimum 3 terms and 6 literals.
const char kCyclic[] = ".i 3\n.o 1\n.type fr\n000 1\n001 1\n010 1\n101 1\n110 1\n111 1\n011 0\n100 0\n.e\n";

TEST(ExactOption, ProvesTheMinimumUnderEveryCriterionAndWritesAValidCover) {
  FunctionPtr f = test::randomFr(99, 6, 3, 30);
  const std::string src = test::writeFile(test::tempPath("exact_many.pla"), formatPla(*f));
  for (const std::string q : {"-Qt", "-Ql", "-Qo", "-Qb", "-Qg", "-QG"})
    for (bool single : {false, true}) {
      const std::string dst = test::tempPath("exact_many_out.pla");
      std::vector<std::string> args{"-exact", q, "-seed1", src, dst};
      if (single) args.insert(args.begin(), "-single");
      const test::RunResult r = test::runVorn(args);
      ASSERT_EQ(r.exitCode, 0) << q << r.err;
      ReadResult got = read(dst);
      ASSERT_TRUE(got.function) << q;
      EXPECT_EQ(test::checkCover(*f, *got.function), "") << q << single;
      const std::size_t verdict = r.err.find("Minimum ");
      ASSERT_NE(verdict, std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("\nElapsed time: ", verdict), r.err.find('\n', verdict)) << r.err;
      if (q == "-Qt" || q == "-Ql" || q == "-Qo") {
        EXPECT_EQ(r.err.compare(verdict, 15, "Minimum proven\n"), 0) << r.err;
      }
    }
}

TEST(ExactOption, CyclicFunctionAndItsStatistics) {
  const std::string src = test::writeFile(test::tempPath("exact_cyclic.pla"), kCyclic);
  const std::string dst = test::tempPath("exact_cyclic_out.pla"), stats = test::tempPath("exact_cyclic.json");
  const test::RunResult r = test::runVorn({"-exact", "-Ql", "-seed3", "-stats" + stats, src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("Minimum proven\nElapsed time: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nTerms: 3\nLiterals: 6\n"), std::string::npos) << r.err;
  test::JsonValue json;
  std::string error;
  ASSERT_TRUE(test::parseJson(test::readFile(stats), json, error)) << error;
  const test::JsonValue& e = json["exact"];
  ASSERT_EQ(e.kind, test::JsonValue::Kind::Object);
  EXPECT_TRUE(e["proven"].boolean);
  EXPECT_EQ(e["lowerBound"].integer(), 6);
  EXPECT_EQ(e["cyclicCore"]["rows"].kind, test::JsonValue::Kind::Number);
  EXPECT_EQ(e["cyclicCore"]["columns"].kind, test::JsonValue::Kind::Number);
  EXPECT_EQ(e["primes"].kind, test::JsonValue::Kind::Number);
}

TEST(ExactOption, WithoutTimeItStopsWithAValidCoverAndABoundBelowTheMinimum) {
  FunctionPtr f = test::randomFr(5, 8, 2, 20);
  const std::string src = test::writeFile(test::tempPath("exact_stop.pla"), formatPla(*f));
  const std::string dst = test::tempPath("exact_stop_out.pla"), full = test::tempPath("exact_full_out.pla");
  const test::RunResult proven = test::runVorn({"-exact", "-Qt", "-seed1", src, full});
  ASSERT_EQ(proven.exitCode, 0) << proven.err;
  ReadResult best = read(full);
  ASSERT_TRUE(best.function);
  computeStatistics(*best.function);
  // No time at all: the seed cover stands, unproven, with a bound no higher than the minimum.
  const test::RunResult r = test::runVorn({"-exact", "-Qt", "-St0", "-seed1", src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ReadResult got = read(dst);
  ASSERT_TRUE(got.function);
  EXPECT_EQ(test::checkCover(*f, *got.function), "");
  const std::size_t at = r.err.find("Minimum not proven: lower bound ");
  ASSERT_NE(at, std::string::npos) << r.err;
  const int bound = std::stoi(r.err.substr(at + 32));
  EXPECT_LE(bound, best.function->terms);
  computeStatistics(*got.function);
  EXPECT_NE(r.err.find(", cover " + std::to_string(got.function->terms) + "\nElapsed time: "), std::string::npos) << r.err;
}

TEST(ExactOption, RefusesASourceWithoutAComputableOffSet) {
  // Fifteen products of two inputs each: the complement has 2^15 cubes, past the bound of one output.
  std::string text = ".i 30\n.o 1\n";
  for (int k = 0; k < 15; ++k) {
    std::string cube(30, '-');
    cube[static_cast<std::size_t>(2 * k)] = cube[static_cast<std::size_t>(2 * k + 1)] = '1';
    text += cube + " 1\n";
  }
  const std::string src = test::writeFile(test::tempPath("exact_no_off.pla"), text + ".e\n");
  const test::RunResult r = test::runVorn({"-exact", src, test::tempPath("exact_no_off_out.pla")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot minimize exactly: the off-set of this function is too large to compute\n"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace vorn
