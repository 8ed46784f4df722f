// Exact minimization of small functions against brute force: the minimum
// number of terms and of literals (multi-output and output by output), the
// output cost, a cyclic function, a minimum that needs a costlier
// non-essential prime, the seed that is never beaten by a costlier cover,
// a run stopped before the proof, and primes due before they can be listed.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "exact/exact_minimize.h"
#include "exact/exact_oracle.h"
#include "model/cost.h"

namespace vorn {
namespace {

/// \brief A random fr function of a few on-set cubes per output; the rest off, with some don't-cares.
FunctionPtr sparseRandom(std::uint32_t seed, int inputs, int outputs) {
  std::mt19937 rng(seed);
  const std::uint64_t count = std::uint64_t{1} << inputs;
  std::vector<std::string> table(count, std::string(static_cast<std::size_t>(outputs), '0'));
  for (int j = 0; j < outputs; ++j)
    for (int k = 1 + static_cast<int>(rng() % 3); k > 0; --k) {
      std::string cube;
      for (int i = 0; i < inputs; ++i) cube += rng() % 10 < 6 ? (rng() % 2 ? '1' : '0') : '-';
      for (std::uint64_t m = 0; m < count; ++m)
        if (test::cubeHasMinterm(cube, m)) table[m][static_cast<std::size_t>(j)] = '1';
    }
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  for (std::uint64_t m = 0; m < count; ++m) {
    for (char& c : table[m])
      if (c == '0' && rng() % 100 < 15) c = '~';
    if (table[m].find_first_not_of('~') != std::string::npos) text += test::mintermText(m, inputs) + " " + table[m] + "\n";
  }
  return test::pla(text + ".e\n");
}

FunctionPtr exactCover(TBoolFnct& f, int criterion, bool single, ExactStats& stats) {
  ExactParams p;
  p.criterion = criterion;
  p.singleOutput = single;
  FunctionPtr cover = MinimizeExact(f, p, stats);
  EXPECT_TRUE(cover);
  if (!cover) return cover;
  EXPECT_EQ(test::checkCover(f, *cover), "");
  computeStatistics(*cover);
  return cover;
}

long long unitCost(const std::string&) { return 1; }

/// \brief Calls `check(seed, f, primes)` on the random functions of seeds 1 to `lastSeed` whose primes brute
/// force can still search (at most 22), until 40 were checked; returns how many were.
template <class Check>
int forSmallRandomFunctions(std::uint32_t lastSeed, Check check) {
  int checked = 0;
  for (std::uint32_t seed = 1; seed <= lastSeed && checked < 40; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 6), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = sparseRandom(seed, inputs, outputs);
    buildLists(*f);
    const auto primes = test::brutePrimes(*f);
    if (primes.size() > 22) continue;
    ++checked;
    check(seed, f, primes);
  }
  return checked;
}

TEST(ExactMinimize, TermsAndLiteralsMatchBruteForce) {
  const int checked = forSmallRandomFunctions(120, [](std::uint32_t seed, FunctionPtr& f, const auto& primes) {
    ExactStats st;
    FunctionPtr t = exactCover(*f, 0, false, st);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->terms, test::bruteMinimum(*f, primes, unitCost)) << "seed " << seed;
    EXPECT_TRUE(st.proven);
    EXPECT_EQ(st.lowerBound, t->terms);
    EXPECT_EQ(st.primes, static_cast<long long>(primes.size()));
    FunctionPtr l = exactCover(*f, 1, false, st);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->literals, test::bruteMinimum(*f, primes, test::literalsOf)) << "seed " << seed;
    EXPECT_TRUE(st.proven);
  });
  EXPECT_GE(checked, 30);
}

TEST(ExactMinimize, SeededByTheSourceTermsItTakesTheWitnessedEssentialsAndMatchesBruteForce) {
  // The source's own terms seed the run: their witnesses show essential primes, and only the on-set left
  // by those gets primes and columns.
  int fewerPrimes = 0;
  const int checked = forSmallRandomFunctions(160, [&](std::uint32_t seed, FunctionPtr& f, const auto& primes) {
    for (int criterion : {0, 1}) {
      FunctionPtr start = derive(*f);
      forEachTerm(*f, [&](const TPfnct& t) {
        std::string out;
        for (char c : t.output) out += c == '1' ? '1' : '0';
        if (out.find('1') != std::string::npos) appendTerm(*start, t.input, out, 0);
      });
      computeStatistics(*start);
      computeCost(*start, criterion);
      const long long want = criterion == 0 ? test::bruteMinimum(*f, primes, unitCost)
                                            : test::bruteMinimum(*f, primes, test::literalsOf);
      // Without a bound on the primes all of them are listed; with one just below their number only
      // those meeting the rest of the on-set may be.
      for (long long maxPrimes : {400000LL, static_cast<long long>(primes.size()) - 1}) {
        ExactParams p;
        p.criterion = criterion;
        p.seed = start.get();
        p.maxPrimes = maxPrimes;
        ExactStats st;
        FunctionPtr cover = MinimizeExact(*f, p, st);
        if (cover) {
          EXPECT_EQ(test::checkCover(*f, *cover), "") << "seed " << seed;
          computeStatistics(*cover);
          computeCost(*cover, criterion);
        }
        const long long got = cover ? cover->cost : start->cost;
        EXPECT_LE(st.lowerBound, want) << "seed " << seed << " criterion " << criterion;
        if (maxPrimes < 400000 && !st.proven) continue;  // the rest had too many primes too
        EXPECT_EQ(got, want) << "seed " << seed << " criterion " << criterion;
        EXPECT_TRUE(st.proven);
        EXPECT_EQ(st.lowerBound, want);
        if (st.primes > 0 && st.primes < static_cast<long long>(primes.size())) ++fewerPrimes;
      }
    }
  });
  EXPECT_GE(checked, 30);
  EXPECT_GT(fewerPrimes, 0);  // the essential primes left only part of the on-set somewhere
}

TEST(ExactMinimize, SingleOutputAndOutputCostMatchBruteForcePerOutput) {
  int checked = 0;
  for (std::uint32_t seed = 200; seed <= 320 && checked < 25; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 6), outputs = 2 + static_cast<int>(seed % 2);
    FunctionPtr f = sparseRandom(seed, inputs, outputs);
    buildLists(*f);
    long long terms = 0, literals = 0;
    bool small = true;
    for (int j = 0; j < outputs && small; ++j) {
      const auto primes = test::brutePrimesOf(*f, j);
      small = primes.size() <= 20;
      if (!small) break;
      terms += test::bruteMinimum(*f, primes, unitCost, j);
      literals += test::bruteMinimum(*f, primes, test::literalsOf, j);
    }
    if (!small) continue;
    ++checked;
    ExactStats st;
    FunctionPtr t = exactCover(*f, 0, true, st);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->terms, terms) << "seed " << seed;
    FunctionPtr l = exactCover(*f, 1, true, st);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->literals, literals) << "seed " << seed;
    // Minimum output cost: each output on its own with the fewest terms.
    FunctionPtr o = exactCover(*f, 2, false, st);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->outputCost, terms) << "seed " << seed;
    EXPECT_TRUE(st.proven);
  }
  EXPECT_GE(checked, 15);
}

TEST(ExactMinimize, CyclicFunctionHasNoEssentialPrime) {
  // Minterms 0, 1, 2, 5, 6, 7 of three inputs: six primes of two literals in a ring, none essential.
  FunctionPtr f = test::pla(".i 3\n.o 1\n.type fr\n000 1\n001 1\n010 1\n101 1\n110 1\n111 1\n011 0\n100 0\n.e\n");
  ExactStats st;
  FunctionPtr c = exactCover(*f, 0, false, st);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->terms, 3);
  EXPECT_EQ(c->literals, 6);
  EXPECT_EQ(st.primes, 6);
  EXPECT_EQ(st.coreRows, 6);
  EXPECT_EQ(st.coreColumns, 6);
  EXPECT_TRUE(st.proven);
}

TEST(ExactMinimize, MinimumNeedsACostlierNonEssentialPrime) {
  // Don't-cares 0110 and 1101.  The minimum (9 literals) needs 010-: 0100 lies in it and in 01-0 only,
  // so it is not essential, and 0101 lies in the cheaper --01 as well; a cover without 010- costs more.
  FunctionPtr f = test::pla(
      ".i 4\n.o 1\n.type fr\n0000 0\n0001 1\n0010 0\n0011 1\n0100 1\n0101 1\n0111 0\n1000 1\n1001 1\n"
      "1010 1\n1011 1\n1100 0\n1110 0\n1111 1\n.e\n");
  const auto primes = test::brutePrimes(*f);
  ASSERT_EQ(primes.count("010-"), 1u);
  auto without = primes;
  without.erase("010-");
  EXPECT_GT(test::bruteMinimum(*f, without, test::literalsOf), 9);
  ExactStats st;
  FunctionPtr c = exactCover(*f, 1, false, st);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->literals, 9);
  bool has = false;
  forEachTerm(*c, [&](const TPfnct& t) { has = has || t.input.str() == "010-"; });
  EXPECT_TRUE(has);
  EXPECT_TRUE(st.proven);
}

TEST(ExactMinimize, TheSeedStandsWhenNothingIsCheaper) {
  FunctionPtr f = sparseRandom(5, 5, 2);
  buildLists(*f);
  ExactStats st;
  FunctionPtr best = exactCover(*f, 1, false, st);
  ASSERT_TRUE(best);
  computeCost(*best, 1);
  ExactParams p;
  p.criterion = 1;
  p.seed = best.get();
  ExactStats again;
  EXPECT_FALSE(MinimizeExact(*f, p, again));
  EXPECT_TRUE(again.proven);
  EXPECT_EQ(again.lowerBound, best->literals);
}

/// A function, its minimum by a criterion, and a costlier valid cover of it to seed a run with.
struct SeededCase {
  FunctionPtr f, best, seed;
};

SeededCase seededCase(int criterion) {
  SeededCase c;
  c.f = sparseRandom(11, 6, 2);
  buildLists(*c.f);
  ExactStats st;
  c.best = exactCover(*c.f, criterion, false, st);
  c.seed = test::onSetCover(*c.f, criterion);  // the source's on-set terms
  return c;
}

TEST(ExactMinimize, StoppedRunKeepsTheSeedWithABoundBelowTheMinimum) {
  const SeededCase c = seededCase(0);
  ASSERT_TRUE(c.best);
  TBoolFnct& f = *c.f;
  std::atomic<bool> stop{true};
  ExactParams p;
  p.criterion = 0;
  p.seed = c.seed.get();
  p.deadline.interrupt = &stop;
  ExactStats cut;
  EXPECT_FALSE(MinimizeExact(f, p, cut));
  EXPECT_FALSE(cut.proven);
  EXPECT_LE(cut.lowerBound, c.best->terms);
}

TEST(ExactMinimize, PrimesDueBeforeTheyAreListedLeaveTheSeedAndLaterOnesChangeNothing) {
  const SeededCase c = seededCase(1);
  ASSERT_TRUE(c.best);
  TBoolFnct& f = *c.f;
  ASSERT_GT(c.seed->literals, c.best->literals);
  const Deadline::Clock::time_point now = Deadline::Clock::now();
  ExactParams p;
  p.criterion = 1;
  p.seed = c.seed.get();
  p.deadline.at = now + std::chrono::seconds(60);
  // Due a second ago: nothing is listed, the seed stands, and nothing is proven.
  p.primesBy = now - std::chrono::seconds(1);
  ExactStats late;
  EXPECT_FALSE(MinimizeExact(f, p, late));
  EXPECT_FALSE(late.proven);
  EXPECT_FALSE(late.primesComplete);
  // Due in a minute: the minimum, as without it.
  p.primesBy = now + std::chrono::seconds(60);
  ExactStats due;
  FunctionPtr found = MinimizeExact(f, p, due);
  ASSERT_TRUE(found);
  EXPECT_EQ(test::checkCover(f, *found), "");
  computeStatistics(*found);
  EXPECT_EQ(found->literals, c.best->literals);
  EXPECT_TRUE(due.proven);
}

}  // namespace
}  // namespace vorn
