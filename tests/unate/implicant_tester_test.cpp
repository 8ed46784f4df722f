#include "unate/implicant_tester.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cdsearch/cd_test_support.h"

namespace vorn {
namespace {

using test::oracleImplicant;
using test::pla;

TEST(IsImplicant, FrMeetsNoOffSetTermAndSkipsSeparatedEntries) {
  auto f = pla(".i 3\n.o 2\n.type fr\n111 10\n000 01\n10- 0~\n.e\n");
  buildLists(*f);
  EXPECT_EQ(IsImplicant(*f, Cube("-1-"), 0), 1);
  EXPECT_EQ(IsImplicant(*f, Cube("1--"), 0), 0);  // meets 10-
  EXPECT_EQ(IsImplicant(*f, Cube("--1"), 0), 0);  // meets 10- at 101
  EXPECT_EQ(IsImplicant(*f, Cube("---"), 1), 0);  // meets 111
  // A separated entry is known to be disjoint: the test skips it.
  f->offLists[0][0].separated = 1;
  EXPECT_EQ(IsImplicant(*f, Cube("1--"), 0), 1);
  f->offLists[0][0].separated = 0;
}

TEST(IsImplicant, FdCubeCoveredOnlyByTheUnionOfSeveralTerms) {
  // 0-- and 1-1 (on) and 1-0 (don't care) together cover the universe; no single term does.
  auto f = pla(".i 3\n.o 1\n.type fd\n0-- 1\n1-1 1\n1-0 -\n.e\n");
  buildLists(*f);
  EXPECT_EQ(IsImplicant(*f, Cube("---"), 0), 1);
  EXPECT_EQ(IsImplicant(*f, Cube("-1-"), 0), 1);
  auto g = pla(".i 3\n.o 1\n.type fd\n0-- 1\n1-1 1\n.e\n");
  buildLists(*g);
  EXPECT_EQ(IsImplicant(*g, Cube("---"), 0), 0);  // 100 and 110 are missing
  EXPECT_EQ(IsImplicant(*g, Cube("--1"), 0), 1);
  EXPECT_EQ(IsImplicant(*g, Cube("1-0"), 0), 0);
}

TEST(IsImplicant, OtherTypeMakesEveryCubeANonImplicant) {
  auto f = pla(".i 2\n.o 1\n.type fr\n11 1\n.e\n");
  buildLists(*f);
  f->type = kTypeF;
  EXPECT_EQ(IsImplicant(*f, Cube("11"), 0), 0);
  ImplicantTester t(*f, 0);
  EXPECT_FALSE(t.test(Cube("11")));
}

// Every cube of a few random functions, fr and fd, against the minterm oracle,
// through the plain test and the packed tester.
TEST(IsImplicant, AgreesWithTheMintermOracleOnRandomFunctions) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    FunctionPtr fs[2] = {test::randomFr(seed, 4, 2, 30), test::randomFd(seed, 4, 2, 7)};
    for (auto& f : fs) {
      buildLists(*f);
      for (int k = 0; k < f->outputCount; ++k) {
        ImplicantTester tester(*f, k);
        for (int code = 0; code < 81; ++code) {
          std::string cube;
          for (int c = code, p = 0; p < 4; ++p, c /= 3) cube += "01-"[c % 3];
          const bool expected = oracleImplicant(*f, cube, k);
          EXPECT_EQ(IsImplicant(*f, Cube(cube), k), expected ? 1 : 0) << cube << " output " << k << " seed " << seed;
          EXPECT_EQ(tester.test(Cube(cube)), expected) << cube;
        }
      }
    }
  }
}

// The packed form of the test and the test of several outputs at once, on
// both types, against the minterm oracle.
TEST(IsImplicant, PackedAndMultiOutputTestsAgreeWithTheMintermOracle) {
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    FunctionPtr fs[2] = {test::randomFr(seed, 4, 3, 30), test::randomFd(seed, 4, 3, 7)};
    for (auto& f : fs) {
      buildLists(*f);
      const std::vector<std::vector<int>> sets = {{}, {1}, {0, 2}, {0, 1, 2}};
      for (const auto& outputs : sets) {
        OutputsTester all(*f, outputs);
        for (int code = 0; code < 81; ++code) {
          std::string cube;
          for (int c = code, p = 0; p < 4; ++p, c /= 3) cube += "01-"[c % 3];
          bool expected = true;
          for (int j : outputs) expected = expected && oracleImplicant(*f, cube, j);
          EXPECT_EQ(all.test(Cube(cube)), expected) << cube << " seed " << seed;
        }
      }
      for (int k = 0; k < f->outputCount; ++k) {
        ImplicantTester tester(*f, k);
        std::vector<Word> packed(2);
        for (int code = 0; code < 81; ++code) {
          std::string cube;
          for (int c = code, p = 0; p < 4; ++p, c /= 3) cube += "01-"[c % 3];
          packCube(Cube(cube), 1, packed.data());
          EXPECT_EQ(tester.testPacked(packed.data()), oracleImplicant(*f, cube, k)) << cube << " output " << k;
        }
      }
    }
  }
}

TEST(IsImplicant, WorksAcrossMaskWords) {
  // 70 inputs: positions 3 and 68 lie in different words.
  std::string on(70, '-'), off(70, '-');
  on[3] = '1';
  on[68] = '1';
  off[68] = '0';
  auto f = pla(".i 70\n.o 1\n.type fr\n" + on + " 1\n" + off + " 0\n.e\n");
  buildLists(*f);
  std::string c(70, '-');
  c[3] = '1';
  EXPECT_EQ(IsImplicant(*f, Cube(c), 0), 0);
  c[68] = '1';
  EXPECT_EQ(IsImplicant(*f, Cube(c), 0), 1);
  ImplicantTester t(*f, 0);
  EXPECT_TRUE(t.test(Cube(c)));
  t.separate(68, true);  // the off-set term holds '0' at 68: gone from the live set
  c[68] = '-';
  EXPECT_TRUE(t.test(Cube(c)));
  t.unseparateAll();
  EXPECT_FALSE(t.test(Cube(c)));
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

TEST(IsImplicant, FdTautologyTestAgreesWithTheMintermOracleOnWiderFunctions) {
  std::mt19937 rng(1234);
  int yes = 0, no = 0;
  for (int round = 0; round < 60; ++round) {
    const int n = 2 + static_cast<int>(rng() % 9);
    std::string text = ".i " + std::to_string(n) + "\n.o 2\n";
    const int terms = 1 + static_cast<int>(rng() % 14);
    for (int k = 0; k < terms; ++k) {
      std::string in(static_cast<std::size_t>(n), '-');
      for (char& c : in) c = "01--"[rng() % 4];
      text += in + " " + "1-~"[rng() % 3] + "1-~"[rng() % 3] + "\n";
    }
    auto f = test::pla(text);
    buildLists(*f);
    for (int j = 0; j < 2; ++j) {
      ImplicantTester tester(*f, j);
      for (int c = 0; c < 20; ++c) {
        std::string cube(static_cast<std::size_t>(n), '-');
        for (char& ch : cube) ch = "01---"[rng() % 5];
        const int want = oracleImplicant(*f, cube, j) ? 1 : 0;
        EXPECT_EQ(IsImplicant(*f, Cube(cube), j), want) << text << cube;
        EXPECT_EQ(tester.test(Cube(cube)) ? 1 : 0, want) << text << cube;
        (want ? yes : no)++;
      }
    }
  }
  EXPECT_GT(yes, 50);
  EXPECT_GT(no, 50);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// The off-set terms of f as the explicit off-set the any-output test takes.
struct OffSetCubes {
  CubeList cubes;
  std::vector<BitSet> outputs;
  std::vector<std::vector<int>> of;
  MeetIndex index;
  explicit OffSetCubes(const TBoolFnct& f) : cubes(f.inputCount), of(static_cast<std::size_t>(f.outputCount)) {
    forEachTerm(f, [&](const TPfnct& t) {
      BitSet o(f.outputCount);
      for (int j = 0; j < f.outputCount; ++j)
        if (outputAt(t, j) == '0') o.set(j);
      if (!o.any()) return;
      o.forEach([&](int j) { of[static_cast<std::size_t>(j)].push_back(cubes.size()); });
      cubes.push(t.input);
      outputs.push_back(o);
    });
    index = MeetIndex(cubes);
  }
};

// Every cube of random functions through the any-output tests (the explicit
// off-set for fr, the inside test for fd), one output at a time and all the
// forbidden outputs at once, against the minterm oracle.
TEST(IsImplicant, AnyOutputTestsAgreeWithTheMintermOracle) {
  for (std::uint32_t seed = 1; seed <= 5; ++seed) {
    FunctionPtr fr = test::randomFr(seed, 4, 3, 30), fd = test::randomFd(seed, 4, 3, 7);
    const OffSetCubes off(*fr);
    const OffSetTest offTest(off.cubes, off.outputs, off.of, off.index);
    const InsideTest insideTest(*fd);
    EXPECT_EQ(offTest.offCubes(), &off.cubes);
    EXPECT_EQ(insideTest.offCubes(), nullptr);
    const std::pair<const TBoolFnct*, const ImplicantTest*> cases[] = {{fr.get(), &offTest}, {fd.get(), &insideTest}};
    for (const auto& [f, t] : cases) {
      std::vector<Word> packed(2);
      for (int code = 0; code < 81; ++code) {
        std::string cube;
        for (int c = code, p = 0; p < 4; ++p, c /= 3) cube += "01-"[c % 3];
        packCube(Cube(cube), 1, packed.data());
        BitSet forbidden(f->outputCount);
        t->forbidden(packed.data(), f->outputCount, forbidden);
        for (int j = 0; j < f->outputCount; ++j) {
          const bool expected = oracleImplicant(*f, cube, j);
          EXPECT_EQ(t->allowed(packed.data(), j), expected) << cube << " output " << j << " seed " << seed;
          EXPECT_EQ(forbidden.test(j), !expected) << cube << " output " << j << " seed " << seed;
        }
      }
    }
  }
}

// The inside test of one output alone answers for it as output 0.
TEST(IsImplicant, InsideTestOfOneOutputNumbersItZero) {
  auto f = pla(".i 2\n.o 2\n.type fd\n1- 01\n01 1-\n.e\n");
  const InsideTest second(*f, 1);
  std::vector<Word> packed(2);
  packCube(Cube("1-"), 1, packed.data());
  EXPECT_TRUE(second.allowed(packed.data(), 0));
  packCube(Cube("0-"), 1, packed.data());
  EXPECT_FALSE(second.allowed(packed.data(), 0));  // 00 is in neither term
  packCube(Cube("01"), 1, packed.data());
  EXPECT_TRUE(second.allowed(packed.data(), 0));   // the don't-care of output 1
}

}  // namespace
}  // namespace vorn
