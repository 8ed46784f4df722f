// The packed kernel against the character-level definitions of the cube
// operations, on seeded random cubes of 1 to 200 positions (so across word
// boundaries), '~' included where a Cube may hold it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/bits.h"
#include "model/cube.h"
#include "model/cube_list.h"

namespace vorn {
namespace {

// The definitions, one position at a time.
bool charMeet(const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] == '0' && b[i] == '1') || (a[i] == '1' && b[i] == '0')) return false;
  return true;
}
bool charContains(const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != '-' && a[i] != b[i]) return false;
  return true;
}
std::string charSupercube(std::string a, const std::string& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) a[i] = '-';
  return a;
}
bool isLiteral(char c) { return c == '0' || c == '1'; }
std::string charCofactor(std::string c, const std::string& p) {
  for (std::size_t i = 0; i < c.size(); ++i)
    if (isLiteral(p[i])) c[i] = '-';
  return c;
}
/// The cube of the minterms in both a and b (they meet): every literal of either.
std::string charIntersection(std::string a, const std::string& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (isLiteral(b[i])) a[i] = b[i];
  return a;
}
int charLiterals(const std::string& c) {
  int n = 0;
  for (char x : c) n += isLiteral(x);
  return n;
}

class Texts {
 public:
  explicit Texts(unsigned seed) : gen_(seed) {}
  int size() { return std::uniform_int_distribution<int>(1, 200)(gen_); }
  /// A text of n characters; literals are sparse or dense so that cubes meet and miss alike.
  std::string cube(int n, bool tilde) {
    const double dense = std::uniform_real_distribution<double>(0.0, 0.2)(gen_) * (n < 20 ? 4 : 1);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::string s(static_cast<std::size_t>(n), '-');
    for (char& c : s) {
      const double x = u(gen_);
      if (x < dense) c = x < dense / 2 ? '0' : '1';
      else if (tilde && x > 0.95) c = '~';
    }
    return s;
  }
  /// b made from a by replacing some positions, so containment and meeting are not all false.
  std::string near(const std::string& a, bool tilde) {
    std::string b = a;
    std::uniform_int_distribution<int> pos(0, static_cast<int>(a.size()) - 1);
    const int changes = std::uniform_int_distribution<int>(0, 3)(gen_);
    for (int k = 0; k < changes; ++k) b[static_cast<std::size_t>(pos(gen_))] = tilde ? "01-~"[gen_() % 4] : "01-"[gen_() % 3];
    return b;
  }
  std::mt19937& gen() { return gen_; }

 private:
  std::mt19937 gen_;
};

TEST(Kernel, CubeOperationsMatchTheCharacterDefinitions) {
  Texts texts(20);
  int meets = 0, contains = 0;
  for (int round = 0; round < 3000; ++round) {
    const int n = texts.size();
    const std::string a = texts.cube(n, true);
    const std::string b = round % 2 ? texts.near(a, true) : texts.cube(n, true);
    const Cube ca(a), cb(b);
    ASSERT_EQ(ca.intersects(cb), charMeet(a, b)) << a << " " << b;
    ASSERT_EQ(ca.contains(cb), charContains(a, b)) << a << " " << b;
    ASSERT_EQ(Cube(a).supercube(cb).str(), charSupercube(a, b));
    ASSERT_EQ(ca.countLiterals(), charLiterals(a));
    meets += charMeet(a, b);
    contains += charContains(a, b);
  }
  EXPECT_GT(meets, 300);  // the draw exercises both answers
  EXPECT_GT(contains, 300);
  EXPECT_LT(meets, 2700);
}

TEST(Kernel, TildeConflictsWithNothingButIsHeldOnlyByTilde) {
  EXPECT_TRUE(Cube("~").intersects(Cube("0")));
  EXPECT_TRUE(Cube("~").intersects(Cube("1")));
  EXPECT_FALSE(Cube("~").contains(Cube("0")));
  EXPECT_FALSE(Cube("0").contains(Cube("~")));
  EXPECT_TRUE(Cube("-").contains(Cube("~")));
  EXPECT_EQ(Cube("~").supercube(Cube("0")).str(), "-");
}

TEST(Kernel, ListRowsMatchTheCharacterDefinitions) {
  Texts texts(21);
  for (int round = 0; round < 300; ++round) {
    const int n = texts.size(), m = static_cast<int>(texts.gen()() % 70);
    CubeList list(n, m);
    std::vector<std::string> rows;
    for (int k = 0; k < 8; ++k) {
      rows.push_back(k % 2 ? texts.near(rows.back(), false) : texts.cube(n, false));
      list.push(Cube(rows.back()));
      if (m > 0) bits::setBit(list.out(k), k % m);
    }
    ASSERT_EQ(list.size(), 8);
    const std::string p = texts.cube(n, false);
    CubeList packedP(n);
    packedP.push(Cube(p));
    int firstChar = -1;
    for (int k = 0; k < 8; ++k) {
      ASSERT_EQ(list.get(k).str(), rows[static_cast<std::size_t>(k)]);
      if (m > 0) {
        EXPECT_EQ(bits::countBits(list.out(k), bits::wordsFor(m)), 1);
      }
      const bool meet = charMeet(rows[static_cast<std::size_t>(k)], p);
      ASSERT_EQ(cubesMeet(list.cube(k), packedP.cube(0), list.words()), meet);
      ASSERT_EQ(cubeContains(list.cube(k), packedP.cube(0), list.words()), charContains(rows[static_cast<std::size_t>(k)], p));
      ASSERT_EQ(cubeLiterals(list.cube(k), list.words()), charLiterals(rows[static_cast<std::size_t>(k)]));
      if (meet && firstChar < 0) firstChar = k;
      if (meet) {
        CubeList cof(n);
        cubeCofactor(cof.grow(), list.cube(k), packedP.cube(0), list.words());
        ASSERT_EQ(cof.get(0).str(), charCofactor(rows[static_cast<std::size_t>(k)], p));
        cubeIntersection(cof.grow(), list.cube(k), packedP.cube(0), list.words());
        ASSERT_EQ(cof.get(1).str(), charIntersection(rows[static_cast<std::size_t>(k)], p));
        cubeIntersection(cof.cube(0), cof.cube(0), list.cube(k), list.words());  // in place: back to the row
        ASSERT_EQ(cof.get(0).str(), rows[static_cast<std::size_t>(k)]);
      }
      std::string seen(static_cast<std::size_t>(n), '-');
      forEachLiteral(list.cube(k), list.words(), [&](int i) { seen[static_cast<std::size_t>(i)] = literalIsOne(list.cube(k), list.words(), i) ? '1' : '0'; });
      ASSERT_EQ(seen, rows[static_cast<std::size_t>(k)]);
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(hasLiteral(list.cube(k), list.words(), i), seen[static_cast<std::size_t>(i)] != '-') << i;
    }
    ASSERT_EQ(firstMeeting(list.cube(0), list.size(), list.stride(), packedP.cube(0), list.words()), firstChar);
  }
}

TEST(Kernel, PackingDropsTildeAndKeepsLiterals) {
  const std::string text = std::string(63, '-') + "0~1" + std::string(70, '~') + "1";
  CubeList list(static_cast<int>(text.size()));
  list.push(Cube(text));
  EXPECT_EQ(list.get(0).str(), std::string(63, '-') + "0-1" + std::string(70, '-') + "1");
  EXPECT_EQ(list.stride(), 6u);
  Word* row = list.grow();
  putLiteral(row, list.words(), 130, true);
  putLiteral(row, list.words(), 0, false);
  EXPECT_EQ(list.get(1).str(), "0" + std::string(129, '-') + "1" + std::string(6, '-'));
  freePosition(row, list.words(), 130);
  EXPECT_EQ(cubeLiterals(row, list.words()), 1);
  list.truncate(1);
  EXPECT_EQ(list.size(), 1);
}

TEST(Kernel, BitSetsMatchAVectorOfFlags) {
  std::mt19937 gen(22);
  for (int round = 0; round < 200; ++round) {
    const int n = 1 + static_cast<int>(gen() % 200);
    BitSet a(n), b(n);
    std::vector<bool> fa(static_cast<std::size_t>(n)), fb(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      if (gen() % 5 == 0) { a.set(i); fa[static_cast<std::size_t>(i)] = true; }
      if (gen() % 3 == 0) { b.set(i); fb[static_cast<std::size_t>(i)] = true; }
    }
    int count = 0, common = 0;
    bool subset = true, any = false;
    std::vector<int> members, shared;
    for (int i = 0; i < n; ++i) {
      const bool x = fa[static_cast<std::size_t>(i)], y = fb[static_cast<std::size_t>(i)];
      count += x;
      common += x && y;
      subset = subset && (!x || y);
      any = any || x;
      if (x) members.push_back(i);
      if (x && y) shared.push_back(i);
      ASSERT_EQ(a.test(i), x);
    }
    EXPECT_EQ(a.count(), count);
    EXPECT_EQ(a.any(), any);
    EXPECT_EQ(a.subsetOf(b), subset);
    EXPECT_EQ(a.meets(b), common > 0);
    EXPECT_EQ(bits::countCommonBits(a.data(), b.data(), a.wordCount()), common);
    std::vector<int> seen, seenShared;
    a.forEach([&](int i) { seen.push_back(i); });
    bits::forEachCommonBit(a.data(), b.data(), a.wordCount(), [&](int i) { seenShared.push_back(i); });
    EXPECT_EQ(seen, members);
    EXPECT_EQ(seenShared, shared);
    BitSet u = a;
    u.unite(b);
    EXPECT_TRUE(a.subsetOf(u) && b.subsetOf(u));
    u.remove(b);
    EXPECT_TRUE(u.subsetOf(a) && !u.meets(b));
    for (std::size_t k = 0; k < members.size(); ++k)
      ASSERT_EQ(bits::nthBit(a.data(), a.wordCount(), static_cast<int>(k)), members[k]) << k;
    EXPECT_EQ(bits::nthBit(a.data(), a.wordCount(), count), -1);
    const Word* pa = a.data();
    const Word* pb = b.data();
    EXPECT_EQ(bits::firstWordBit(a.wordCount(), [&](int w) { return pa[w] & pb[w]; }),
              shared.empty() ? -1 : shared.front());
    if (n > 1) {
      a.reset(n - 1);
      EXPECT_FALSE(a.test(n - 1));
    }
  }
}

// The searching passes against a scan of flags: sets so sparse that a & b
// holds no bit, one bit or several, across word boundaries.
TEST(Kernel, SearchingPassesMatchAScanOfFlags) {
  std::mt19937 gen(23);
  int sole = 0, none = 0;
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(gen() % 200);
    const unsigned sparse = 2 + gen() % 60;
    BitSet a(n), b(n);
    std::vector<int> shared;
    for (int i = 0; i < n; ++i) {
      const bool x = gen() % sparse == 0, y = gen() % 2 == 0;
      if (x) a.set(i);
      if (y) b.set(i);
      if (x && y) shared.push_back(i);
    }
    const int words = a.wordCount();
    EXPECT_EQ(bits::firstCommonBit(a.data(), b.data(), words), shared.empty() ? -1 : shared.front());
    const int expectSole = shared.empty() ? -1 : shared.size() == 1 ? shared.front() : -2;
    EXPECT_EQ(bits::soleCommonBit(a.data(), b.data(), words), expectSole) << n;
    sole += expectSole >= 0;
    none += expectSole == -1;
    int expectFound = -1;
    for (int i : shared)
      if (i % 3 == 2) {
        expectFound = i;
        break;
      }
    std::vector<int> asked;
    const int found = bits::findCommonBit(a.data(), b.data(), words, [&](int i) {
      asked.push_back(i);
      return i % 3 == 2;
    });
    EXPECT_EQ(found, expectFound);
    // every common bit up to the one found is asked, in order, and none after it
    std::vector<int> upTo(shared.begin(), expectFound < 0 ? shared.end() : std::find(shared.begin(), shared.end(), expectFound) + 1);
    EXPECT_EQ(asked, upTo);
  }
  EXPECT_GT(sole, 20);
  EXPECT_GT(none, 20);
  // bits of b cleared by the predicate in later words are not visited
  BitSet a(130), b(130);
  for (int i : {1, 70, 129}) {
    a.set(i);
    b.set(i);
  }
  std::vector<int> asked;
  bits::findCommonBit(a.data(), b.data(), a.wordCount(), [&](int i) {
    asked.push_back(i);
    b.reset(129);
    return false;
  });
  EXPECT_EQ(asked, (std::vector<int>{1, 70}));
}

// The literals of a that b does not hold, word by word, against the texts:
// '~' in b holds no literal, '~' in a is none.
TEST(Kernel, LiteralsNotInAndSharedMatchTheCharacterDefinitions) {
  Texts texts(24);
  for (int round = 0; round < 1000; ++round) {
    const int n = texts.size();
    const std::string a = texts.cube(n, true);
    const std::string b = round % 2 ? texts.near(a, true) : texts.cube(n, true);
    const Cube ca(a), cb(b);
    const int words = ca.words();
    std::vector<int> expected, got, expectedShared, gotShared;
    for (int i = 0; i < n; ++i) {
      const char x = a[static_cast<std::size_t>(i)];
      if (isLiteral(x) && x != b[static_cast<std::size_t>(i)]) expected.push_back(i);
      if (isLiteral(x) && x == b[static_cast<std::size_t>(i)]) expectedShared.push_back(i);
    }
    bits::forEachWordBit(words, [&](int w) { return literalsNotIn(ca.data(), cb.data(), words, w); },
                         [&](int i) { got.push_back(i); });
    bits::forEachWordBit(words, [&](int w) { return sharedLiteralsIn(ca.data(), cb.data(), words, w); },
                         [&](int i) { gotShared.push_back(i); });
    ASSERT_EQ(got, expected) << a << " " << b;
    ASSERT_EQ(gotShared, expectedShared) << a << " " << b;
  }
}

// Every bit lands across the diagonal, on sparse, dense and single-bit matrices.
TEST(Kernel, TransposeMovesEveryBitAcrossTheDiagonal) {
  std::mt19937_64 gen(7);
  for (int round = 0; round < 200; ++round) {
    Word m[64], t[64];
    for (Word& w : m) {
      w = gen();
      if (round % 3 == 1) w &= gen() & gen();
      if (round % 3 == 2) w = round < 64 ? Word{1} << (w % 64) : w | gen();
    }
    std::copy(m, m + 64, t);
    bits::transpose64(t);
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 64; ++c) ASSERT_EQ(t[c] >> r & 1, m[r] >> c & 1) << round << " " << r << " " << c;
  }
}

// Sorting rows keeps one of each value in word order, for one word and several.
TEST(Kernel, WordRowsSortUniqueAndReshape) {
  std::mt19937 gen(25);
  for (int words = 1; words <= 3; ++words) {
    WordRows rows(0, words);
    std::vector<std::vector<Word>> flat;
    for (int r = 0; r < 300; ++r) {
      std::vector<Word> v(static_cast<std::size_t>(words));
      for (Word& x : v) x = gen() % 4 == 0 ? ~Word{0} - gen() % 3 : gen() % 3;  // few values: many repeats
      rows.push(v.data());
      flat.push_back(v);
    }
    std::sort(flat.begin(), flat.end());
    flat.erase(std::unique(flat.begin(), flat.end()), flat.end());
    rows.sortUnique();
    ASSERT_EQ(rows.rows(), static_cast<int>(flat.size()));
    for (int r = 0; r < rows.rows(); ++r)
      EXPECT_EQ(std::vector<Word>(rows.row(r), rows.row(r) + words), flat[static_cast<std::size_t>(r)]) << r;
    rows.reshape(words + 1);
    EXPECT_EQ(rows.rows(), 0);
    EXPECT_EQ(rows.words(), words + 1);
    EXPECT_EQ(rows.grow()[words], Word{0});
  }
}

TEST(Kernel, WordRowsGrowPushAndTruncate) {
  WordRows rows(2, 3);
  EXPECT_EQ(rows.rows(), 2);
  rows.row(1)[2] = 7;
  const Word extra[3] = {1, 2, 3};
  rows.push(extra);
  Word* fresh = rows.grow();
  EXPECT_EQ(fresh[0] | fresh[1] | fresh[2], 0u);
  EXPECT_EQ(rows.rows(), 4);
  EXPECT_EQ(rows.row(1)[2], 7u);
  EXPECT_EQ(rows.row(2)[1], 2u);
  rows.truncate(1);
  EXPECT_EQ(rows.raw().size(), 3u);
  rows.clear();
  EXPECT_EQ(rows.rows(), 0);
}

TEST(Kernel, WordRowsKeepInOrderAndZero) {
  for (int words : {1, 3}) {
    WordRows rows(0, words);
    rows.reserve(10);
    for (int r = 0; r < 10; ++r) rows.pushWords([&](int w) { return static_cast<Word>(r * 10 + w); });
    rows.keepIf([](const Word* row) { return row[0] % 20 != 0; });  // drops rows 0, 2, 4, 6, 8
    ASSERT_EQ(rows.rows(), 5);
    for (int r = 0; r < 5; ++r)
      for (int w = 0; w < words; ++w) EXPECT_EQ(rows.row(r)[w], static_cast<Word>((2 * r + 1) * 10 + w));
    rows.zero();
    EXPECT_EQ(rows.rows(), 5);
    EXPECT_FALSE(bits::anyBit(rows.raw().data(), 5 * words));
  }
  // rows of no words still count
  WordRows empty(0, 0);
  empty.grow();
  empty.grow();
  empty.keepIf([](const Word*) { return true; });
  EXPECT_EQ(empty.rows(), 2);
}


// The arena of a recursion: rows taken over from elsewhere, room added as zero rows and given back.
TEST(Kernel, WordRowsAssignAndResize) {
  const Word from[6] = {1, 2, 3, 4, 5, 6};
  WordRows rows(0, 2);
  rows.assign(from, 3);
  ASSERT_EQ(rows.rows(), 3);
  EXPECT_EQ(rows.row(2)[1], Word{6});
  rows.resize(5);
  ASSERT_EQ(rows.rows(), 5);
  EXPECT_EQ(rows.row(1)[0], Word{3});  // kept rows keep their words
  EXPECT_EQ(rows.row(4)[0] | rows.row(4)[1] | rows.row(3)[0] | rows.row(3)[1], Word{0});
  rows.resize(1);
  ASSERT_EQ(rows.rows(), 1);
  EXPECT_EQ(rows.grow()[0], Word{0});  // a row given back and taken again is zero
  rows.assign(from + 4, 1);
  ASSERT_EQ(rows.rows(), 1);
  EXPECT_EQ(rows.row(0)[0], Word{5});
}

}  // namespace
}  // namespace vorn
