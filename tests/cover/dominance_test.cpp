// Dominance passes and the integer routines beneath them.
#include "cover/dominance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <set>

#include "model/function.h"
#include "model/settings.h"

namespace vorn {
namespace {

/// A source with two outputs and four on-set entries per output, and
/// implicant sets whose cover lists are written by hand as keys o*4+j.
struct DominanceFixture : ::testing::Test {
  FunctionPtr source;
  ProgressHooks hooks = quietHooks();
  void SetUp() override {
    source = create(3, 2, 0, kTypeFr);
    for (const char* in : {"000", "001", "010", "011"}) appendTerm(*source, in, "11", 0);
    buildLists(*source);
    ASSERT_EQ(source->maxOnCount, 4);
  }
  FunctionPtr set() { return derive(*source); }
  TPfnct* add(TBoolFnct& f, const std::string& name, int freeCount, std::vector<int> keys) {
    TPfnct* t = appendTerm(f, name, "11", freeCount);
    for (int k : keys) t->covers.insert(t->covers.begin(), CoverEntry{nullptr, k % 4, k / 4});
    t->coverCount = static_cast<int>(t->covers.size());
    return t;
  }
  static std::vector<std::string> names(const TBoolFnct& f) {
    std::vector<std::string> out;
    forEachTerm(f, [&](const TPfnct& t) { out.push_back(t.input.str()); });
    return out;
  }
};

TEST(DominanceInts, SortMatchesStdSort) {
  std::mt19937 rng(1);
  for (int n = 0; n < 60; ++n) {
    std::vector<int> v(static_cast<std::size_t>(n));
    for (int& x : v) x = static_cast<int>(rng() % 7) - 3;
    std::vector<int> expected = v;
    std::sort(expected.begin(), expected.end());
    SortInts(v.data(), n);
    EXPECT_EQ(v, expected);
  }
  int one = 5;
  SortInts(&one, 1);
  EXPECT_EQ(one, 5);
  SortInts(nullptr, 0);
}

TEST(DominanceInts, ContainsIntFindsExactlyTheMembers) {
  EXPECT_EQ(ContainsInt(nullptr, 0, 3), 0);
  const int v[] = {1, 4, 4, 9, 12};
  for (int key = -1; key < 15; ++key) EXPECT_EQ(ContainsInt(v, 5, key), std::count(v, v + 5, key) ? 1 : 0) << key;
  EXPECT_EQ(ContainsInt(v, 3, 9), 0);  // only the first count values are searched
}

TEST_F(DominanceFixture, CoverKeysAreBuiltOnceAndSorted) {
  FunctionPtr f = set();
  TPfnct* t = add(*f, "000", 0, {5, 0, 7, 2});
  BuildCoverKeys(*f, *t);
  EXPECT_EQ(*t->coverKeys, (std::vector<int>{0, 2, 5, 7}));
  t->covers.clear();
  BuildCoverKeys(*f, *t);  // present: left as it is
  EXPECT_EQ(t->coverKeys->size(), 4u);
}

TEST_F(DominanceFixture, CrossPassEqualCoversRemoveTargetWhenAsLarge) {
  FunctionPtr target = set(), other = set();
  add(*target, "000", 1, {0, 5});
  add(*target, "001", 2, {1, 6});
  add(*other, "010", 1, {5, 0});  // same cover, same size: target's term goes
  add(*other, "011", 1, {1, 6});  // same cover, smaller cube: target's term stays
  RemoveDominatedTerms(*target, *other, hooks);
  EXPECT_EQ(names(*target), std::vector<std::string>{"001"});
  EXPECT_EQ(target->termCount, 1);
  EXPECT_EQ(target->head.get(), target->tail);
  EXPECT_EQ(other->termCount, 2);
  EXPECT_TRUE(target->head->coverKeys.has_value());
}

TEST_F(DominanceFixture, CrossPassSubsetsAndEmptyCovers) {
  FunctionPtr target = set(), other = set();
  add(*target, "000", 1, {0});          // strict subset of other's cover: goes
  add(*target, "001", 1, {0, 1, 2});    // superset: stays
  add(*target, "010", 3, {});           // empty, but larger than every term of other: stays
  add(*target, "011", 2, {});           // empty: goes
  add(*other, "100", 2, {0, 1});
  RemoveDominatedTerms(*target, *other, hooks);
  EXPECT_EQ(names(*target), (std::vector<std::string>{"001", "010"}));
  EXPECT_EQ(target->tail->input.str(), "010");
}

TEST_F(DominanceFixture, CrossPassOnEmptyTargetOnlyBeginsAndEnds) {
  FunctionPtr target = set(), other = set();
  add(*other, "100", 2, {0, 1});
  std::vector<std::string> log;
  hooks.begin = [&](const std::string& m, int total, int) {
    log.push_back(m + std::to_string(total));
    return 0;
  };
  hooks.step = [&](int, int) {
    log.push_back("step");
    return 0;
  };
  hooks.end = [&] { log.push_back("end"); };
  RemoveDominatedTerms(*target, *other, hooks);
  RemoveSelfDominatedTerms(*target, hooks);
  EXPECT_EQ(log, (std::vector<std::string>{"Cheching for dominance0", "end", "Cheching for dominance0", "end"}));
  EXPECT_EQ(other->termCount, 1);
}

TEST_F(DominanceFixture, SelfPassEqualCoversRemoveTheEarlierWhateverTheSize) {
  FunctionPtr f = set();
  add(*f, "000", 3, {0, 4});
  add(*f, "001", 0, {4, 0});
  RemoveSelfDominatedTerms(*f, hooks);
  EXPECT_EQ(names(*f), std::vector<std::string>{"001"});
  EXPECT_EQ(f->termCount, 1);
}

TEST_F(DominanceFixture, SelfPassSubsetsBothWays) {
  FunctionPtr f = set();
  add(*f, "000", 0, {0});           // subset of the next term: goes in its own turn
  add(*f, "001", 0, {0, 1, 2});     // kept
  add(*f, "010", 0, {2, 1});        // subset of an earlier kept term: goes
  add(*f, "011", 0, {3, 7});        // disjoint: kept
  RemoveSelfDominatedTerms(*f, hooks);
  EXPECT_EQ(names(*f), (std::vector<std::string>{"001", "011"}));
  EXPECT_EQ(f->tail->input.str(), "011");
}

TEST_F(DominanceFixture, SelfPassEmptyCoverGoesOnlyBeforeAKeptTerm) {
  FunctionPtr f = set();
  add(*f, "000", 0, {});
  add(*f, "001", 0, {1});
  add(*f, "010", 0, {});  // last term: never removed in its own turn; no later term removes it
  RemoveSelfDominatedTerms(*f, hooks);
  // "001" removes "010" as a later term whose entries (none) lie in its cover.
  EXPECT_EQ(names(*f), std::vector<std::string>{"001"});

  FunctionPtr g = set();
  add(*g, "000", 0, {});
  RemoveSelfDominatedTerms(*g, hooks);
  EXPECT_EQ(g->termCount, 1);
}

/// Random covers over `keyRange` keys, each key in one of `every` of them, against a quadratic oracle
/// of both passes; wide ranges make the 64-bit signatures collide, and few keys spread over a wide
/// range leave the cross pass to look at every term of the other set instead of by key.
void checkPassesAgainstOracle(DominanceFixture& fx, int keyRange, unsigned seed, unsigned every = 3) {
  std::mt19937 rng(seed);
  int crossRemoved = 0, selfRemoved = 0;
  for (int trial = 0; trial < 200; ++trial) {
    FunctionPtr f = fx.set(), other = fx.set();
    std::vector<std::vector<int>> covers;
    std::vector<int> frees;
    const int n = 1 + static_cast<int>(rng() % 8);
    // Covers drawn from each other (one key more or less, or a few more), so
    // that containment both ways is common however many keys there are.
    auto randomCover = [&] {
      std::vector<int> keys;
      for (int k = 0; k < keyRange; ++k)
        if (rng() % every == 0) keys.push_back(k);
      return keys;
    };
    auto varied = [&](std::vector<int> keys) {
      const int key = static_cast<int>(rng() % static_cast<unsigned>(keyRange));
      auto at = std::lower_bound(keys.begin(), keys.end(), key);
      switch (rng() % 3) {
        case 0:  // one key less (or more when absent)
          if (at != keys.end() && *at == key)
            keys.erase(at);
          else
            keys.insert(at, key);
          break;
        case 1:  // a few more
          for (int extra = 0; extra < 3; ++extra) {
            const int k = static_cast<int>(rng() % static_cast<unsigned>(keyRange));
            auto pos = std::lower_bound(keys.begin(), keys.end(), k);
            if (pos == keys.end() || *pos != k) keys.insert(pos, k);
          }
          break;
        default:  // unchanged
          break;
      }
      return keys;
    };
    for (int i = 0; i < n; ++i) {
      covers.push_back(i > 0 && rng() % 2 ? varied(covers[rng() % covers.size()]) : randomCover());
      frees.push_back(static_cast<int>(rng() % 3));
      fx.add(*f, std::to_string(i % 2) + std::to_string(i / 2 % 2) + std::to_string(i / 4), frees.back(), covers.back());
    }
    const int m = static_cast<int>(rng() % 5);
    std::vector<std::vector<int>> otherCovers;
    std::vector<int> otherFrees;
    for (int i = 0; i < m; ++i) {
      otherCovers.push_back(rng() % 3 ? varied(covers[rng() % covers.size()]) : randomCover());
      otherFrees.push_back(static_cast<int>(rng() % 3));
      fx.add(*other, "111", otherFrees.back(), otherCovers.back());
    }
    auto subset = [](const std::vector<int>& a, const std::vector<int>& b) {
      return std::includes(b.begin(), b.end(), a.begin(), a.end());
    };
    // Cross oracle.
    std::vector<int> expected;
    for (int i = 0; i < n; ++i) {
      bool gone = false;
      for (int j = 0; j < m; ++j) gone = gone || (subset(covers[i], otherCovers[j]) && otherFrees[j] >= frees[i]);
      if (!gone) expected.push_back(i);
    }
    std::vector<const TPfnct*> before;
    forEachTerm(*f, [&](const TPfnct& t) { before.push_back(&t); });
    RemoveDominatedTerms(*f, *other, fx.hooks);
    std::vector<const TPfnct*> after;
    forEachTerm(*f, [&](const TPfnct& t) { after.push_back(&t); });
    ASSERT_EQ(after.size(), expected.size()) << trial;
    for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(after[k], before[static_cast<std::size_t>(expected[k])]);
    EXPECT_EQ(f->termCount, static_cast<int>(expected.size()));
    crossRemoved += n - static_cast<int>(expected.size());

    // Self oracle on the survivors, following the pass's sweep.
    std::vector<std::vector<int>> rest;
    for (int i : expected) rest.push_back(covers[static_cast<std::size_t>(i)]);
    std::vector<int> keep(rest.size(), 1);
    for (std::size_t t = 0; t < rest.size(); ++t) {
      if (!keep[t]) continue;
      for (std::size_t u = t + 1; u < rest.size() && keep[t]; ++u) {
        if (!keep[u]) continue;
        if (subset(rest[t], rest[u]))
          keep[t] = 0;
        else if (subset(rest[u], rest[t]))
          keep[u] = 0;
      }
    }
    RemoveSelfDominatedTerms(*f, fx.hooks);
    std::vector<const TPfnct*> selfAfter;
    forEachTerm(*f, [&](const TPfnct& t) { selfAfter.push_back(&t); });
    std::vector<const TPfnct*> selfExpected;
    for (std::size_t k = 0; k < rest.size(); ++k)
      if (keep[k]) selfExpected.push_back(after[k]);
    EXPECT_EQ(selfAfter, selfExpected) << trial;
    EXPECT_EQ(f->termCount, static_cast<int>(selfExpected.size()));
    selfRemoved += static_cast<int>(rest.size() - selfExpected.size());
  }
  // The draws must exercise both outcomes of both passes.
  EXPECT_GT(crossRemoved, 50);
  EXPECT_GT(selfRemoved, 50);
}

TEST_F(DominanceFixture, PassesMatchAQuadraticOracle) { checkPassesAgainstOracle(*this, 8, 17); }

/// The fixture's four on-set entries feeding `Outputs` outputs: keys up to 4 x Outputs.
template <int Outputs>
struct OutputsDominanceFixture : DominanceFixture {
  void SetUp() override {
    source = create(3, Outputs, 0, kTypeFr);
    for (const char* in : {"000", "001", "010", "011"}) appendTerm(*source, in, std::string(Outputs, '1'), 0);
    buildLists(*source);
    ASSERT_EQ(source->maxOnCount, 4);
  }
};

/// The same over 50 outputs: covers of up to 200 keys, many sharing signature bits.
using WideDominanceFixture = OutputsDominanceFixture<50>;

/// Which of `f`'s terms (named by their position) a pass removed, given the names of all before it.
std::set<std::string> removedFrom(const std::vector<std::string>& before, const TBoolFnct& f) {
  const std::vector<std::string> after = DominanceFixture::names(f);
  std::set<std::string> removed(before.begin(), before.end());
  for (const std::string& n : after) removed.erase(n);
  return removed;
}

bool coverWithin(const TPfnct& t, const TPfnct& u) {
  return std::includes(u.coverKeys->begin(), u.coverKeys->end(), t.coverKeys->begin(), t.coverKeys->end());
}

/// Passes stopped by a deadline that expires at every step in turn: a pass stopped later removes what
/// one stopped earlier removed and never more than the whole pass; every term it removed lies in a
/// term that stays (or, for the cross pass, in a term of the other set at least as large).
TEST_F(DominanceFixture, PassesStoppedByTheDeadlineOnlyThin) {
  std::mt19937 rng(5);
  std::vector<std::vector<int>> covers, otherCovers;
  for (int i = 0; i < 32; ++i) {
    std::vector<int> keys;
    for (int k = 0; k < 8; ++k)
      if (rng() % 3 == 0) keys.push_back(k);
    (i < 24 ? covers : otherCovers).push_back(keys);
  }
  auto name = [](int i) {
    std::string n;
    for (int b = 4; b >= 0; --b) n += (i >> b) & 1 ? '1' : '0';
    return n;
  };
  source = create(5, 2, 0, kTypeFr);
  for (const char* in : {"00000", "00001", "00010", "00011"}) appendTerm(*source, in, "11", 0);
  buildLists(*source);
  for (bool cross : {true, false}) {
    std::set<std::string> previous;
    std::set<std::string> whole;
    for (int cutAt = -1; cutAt <= 25; ++cutAt) {
      FunctionPtr f = set(), other = set();
      for (std::size_t i = 0; i < covers.size(); ++i) add(*f, name(static_cast<int>(i)), 1, covers[i]);
      for (const std::vector<int>& keys : otherCovers) add(*other, "11111", 1, keys);
      const std::vector<std::string> before = names(*f);
      // cutAt -1: expired before the pass; 25: never within it.
      std::atomic<bool> flag{cutAt < 0};
      Deadline deadline;
      deadline.interrupt = &flag;
      int steps = 0;
      ProgressHooks cutting = quietHooks();
      cutting.step = [&](int, int) {
        if (steps++ == cutAt) flag = true;
        return 0;
      };
      if (cross)
        RemoveDominatedTerms(*f, *other, cutting, deadline);
      else
        RemoveSelfDominatedTerms(*f, cutting, deadline);
      const std::set<std::string> removed = removedFrom(before, *f);
      const std::string what = std::string(cross ? "cross" : "self") + " pass cut at " + std::to_string(cutAt);
      if (cutAt < 0) {
        EXPECT_TRUE(removed.empty()) << what;
      }
      EXPECT_TRUE(std::includes(removed.begin(), removed.end(), previous.begin(), previous.end())) << what;
      previous = removed;
      for (const std::string& gone : removed) {
        FunctionPtr probe = set();
        TPfnct* t = add(*probe, gone, 1, covers[static_cast<std::size_t>(std::stoi(gone, nullptr, 2))]);
        BuildCoverKeys(*probe, *t);
        bool held = false;
        for (const TPfnct* u = (cross ? other : f)->head.get(); u && !held; u = u->next.get())
          held = coverWithin(*t, *u);
        EXPECT_TRUE(held) << what << ": " << gone << " went without a term holding its cover";
      }
      whole = removed;
    }
    // The uncut pass removes something, so the cuts above left terms that it would have removed.
    EXPECT_FALSE(whole.empty()) << (cross ? "cross" : "self");
  }
}

TEST_F(WideDominanceFixture, PassesMatchAQuadraticOracleOnLongCovers) { checkPassesAgainstOracle(*this, 200, 23); }

/// Over 1,000 outputs: covers of a dozen keys out of 4,000.
using SparseDominanceFixture = OutputsDominanceFixture<1000>;

TEST_F(SparseDominanceFixture, PassesMatchAQuadraticOracleOnSparseCovers) {
  checkPassesAgainstOracle(*this, 4000, 29, 300);
}

}  // namespace
}  // namespace vorn
