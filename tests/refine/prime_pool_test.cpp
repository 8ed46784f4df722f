// The pool of implicants and the primes grown around single minterms, on
// sampled functions: primes that hold their seeds (so together a valid
// cover), the same primes from the same draws, distinct cubes kept once, the
// covering problem's rows and columns against a minterm oracle, the rows of a
// cover's terms found again, and nothing
// where a source does not suit.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "model/cost.h"
#include "model/random.h"
#include "refine/cover_function.h"
#include "refine/prime_pool.h"
#include "refine/seeded_primes.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::sampled;

Cover seeded(const RefineSource& source, Random* random, double slack) {
  Cover c;
  c.in = CubeList(source.inputs);
  SeededPrimes(source, random, slack, Deadline{}, c);
  return c;
}

/// True when no literal of term k can go without the cube meeting the off-set.
bool prime(const RefineSource& source, const Cover& c, int k) {
  const OffSetTest test = OffSetTestOf(source.off);
  std::vector<Word> cube(c.in.cube(k), c.in.cube(k) + c.in.stride());
  bool isPrime = test.allowed(cube.data(), 0);
  forEachLiteral(c.in.cube(k), c.in.words(), [&](int i) {
    std::vector<Word> wider = cube;
    freePosition(wider.data(), c.in.words(), i);
    if (test.allowed(wider.data(), 0)) isPrime = false;
  });
  return isPrime;
}

TEST(SeededPrimes, OnePrimePerOnSetMintermHoldingItAcrossWordBoundaries) {
  const int sizes[] = {1, 6, 20, 63, 64, 65, 100, 130};
  for (int round = 0; round < 16; ++round) {
    const int n = sizes[round % 8];
    FunctionPtr f = sampled(700 + static_cast<std::uint32_t>(round), n, 200, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(PrimePool::applies(source));
    Random random;
    random.seedRandom(static_cast<std::uint32_t>(round));
    const std::string where = "n " + std::to_string(n) + " round " + std::to_string(round);
    const Cover c = seeded(source, round % 2 ? &random : nullptr, 0.3);
    const int onSet = bitspan::count(source.on.ofBits[0].data(), source.on.ofBits[0].size());
    // Seeds that no literal separates from the off-set (none here: the samples are distinct) give none.
    EXPECT_EQ(c.size(), onSet) << where;
    // Each prime holds its own seed, so the primes together cover the on-set.
    EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, c)), "") << where;
    for (int k = 0; k < c.size(); ++k) EXPECT_TRUE(prime(source, c, k)) << where << " term " << k;
  }
}

TEST(SeededPrimes, SameDrawsGiveTheSamePrimesAndNothingWhereTheSourceDoesNotSuit) {
  FunctionPtr f = sampled(77, 40, 300, 1);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  Random a, b;
  a.seedRandom(9);
  b.seedRandom(9);
  const Cover first = seeded(source, &a, 0.3), again = seeded(source, &b, 0.3);
  ASSERT_EQ(first.size(), again.size());
  EXPECT_EQ(first.in.raw(), again.in.raw());

  FunctionPtr two = sampled(78, 40, 300, 2);
  buildLists(*two);
  const RefineSource twoOutputs = MakeSource(*two);
  EXPECT_FALSE(PrimePool::applies(twoOutputs));
  EXPECT_EQ(seeded(twoOutputs, nullptr, 0).size(), 0);

  // A deadline already passed grows nothing.
  Deadline over;
  over.at = Deadline::after(Deadline::Clock::now(), -1);
  Cover none;
  none.in = CubeList(source.inputs);
  SeededPrimes(source, nullptr, 0, over, none);
  EXPECT_EQ(none.size(), 0);
}

TEST(PrimePool, KeepsDistinctCubesOnceAndUpToItsCapacity) {
  FunctionPtr f = sampled(31, 70, 250, 1);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  const Cover c = seeded(source, nullptr, 0);
  std::vector<std::string> distinct;
  for (int k = 0; k < c.size(); ++k) distinct.push_back(c.in.get(k).str());
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  ASSERT_LT(static_cast<int>(distinct.size()), c.size()) << "the seeds should share primes";

  PrimePool pool(source.inputs, 1000);
  pool.add(c);
  EXPECT_EQ(pool.size(), static_cast<int>(distinct.size()));
  pool.add(c);
  EXPECT_EQ(pool.size(), static_cast<int>(distinct.size()));

  PrimePool small(source.inputs, 3);
  small.add(c);
  EXPECT_EQ(small.size(), std::min(3, static_cast<int>(distinct.size())));
  // Cubes of another width are not taken.
  Cover other;
  other.in = CubeList(source.inputs + 1);
  OutputSet one(1);
  one.set(0);
  other.add(std::vector<Word>(other.in.stride(), 0).data(), one);
  PrimePool fresh(source.inputs, 10);
  fresh.add(other);
  EXPECT_EQ(fresh.size(), 0);
}

TEST(PrimePool, ProblemRowsHoldExactlyTheirOnSetMintermsAndSkipCubesMeetingTheOffSet) {
  for (int n : {12, 64, 97}) {
    FunctionPtr f = sampled(50 + static_cast<std::uint32_t>(n), n, 220, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    PrimePool pool(source.inputs, 10000);
    pool.add(seeded(source, nullptr, 0));
    // The universal cube meets the off-set: it must not become a row.
    Cover universal;
    universal.in = CubeList(source.inputs);
    OutputSet one(1);
    one.set(0);
    universal.add(std::vector<Word>(universal.in.stride(), 0).data(), one);
    pool.add(universal);
    PrimePool::Problem p;
    ASSERT_TRUE(pool.problem(source, p)) << "n " << n;
    EXPECT_EQ(static_cast<int>(p.cube.size()), pool.size() - 1) << "n " << n;
    EXPECT_EQ(pool.fresh(), 0);

    // The on-set minterms, in the source's order, are the columns.
    std::vector<std::string> onSet;
    bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(),
                     [&](int t) { onSet.push_back(source.on.cubes.get(t).str()); });
    ASSERT_EQ(p.columns.size(), onSet.size());
    std::vector<int> all(p.cube.size());
    for (std::size_t r = 0; r < all.size(); ++r) all[r] = static_cast<int>(r);
    const Cover rows = pool.coverOf(p, all);
    for (int r = 0; r < rows.size(); ++r) {
      const std::string cube = rows.in.get(r).str();
      // Weighed as IRREDUNDANT weighs a term by the run's criterion (literals by default).
      EXPECT_EQ(p.cost[static_cast<std::size_t>(r)], termWeight(1, rows.literals(r), 1));
      for (std::size_t m = 0; m < onSet.size(); ++m) {
        const auto& col = p.columns[m];
        const bool listed = std::find(col.begin(), col.end(), r) != col.end();
        EXPECT_EQ(listed, test::cubeHolds(cube, onSet[m])) << "n " << n << " row " << r << " minterm " << m;
      }
    }
    EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, rows)), "");

    // The rows of a cover's terms are the rows of those cubes; terms outside the pool have none.
    Cover some;
    some.in = CubeList(source.inputs);
    for (int r = 0; r < rows.size(); r += 3) some.add(rows.in.cube(r), one);
    some.add(universal.in.cube(0), one);
    const std::vector<int> found = pool.rowsOf(p, some);
    ASSERT_EQ(static_cast<int>(found.size()), (rows.size() + 2) / 3) << "n " << n;
    for (std::size_t k = 0; k < found.size(); ++k) EXPECT_EQ(found[k], static_cast<int>(3 * k)) << "n " << n;

    // A pool of one prime gives a problem only when that prime holds the whole on-set.
    PrimePool part(source.inputs, 1);
    part.add(seeded(source, nullptr, 0));
    Cover firstRow;
    firstRow.in = CubeList(source.inputs);
    firstRow.add(seeded(source, nullptr, 0).in.cube(0), one);
    const bool holdsAll = std::all_of(onSet.begin(), onSet.end(), [&](const std::string& m) {
      return test::cubeHolds(firstRow.in.get(0).str(), m);
    });
    PrimePool::Problem q;
    EXPECT_EQ(part.problem(source, q), holdsAll) << "n " << n;
  }
}

}  // namespace
}  // namespace vorn
